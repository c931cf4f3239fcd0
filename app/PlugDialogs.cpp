#include "app/ToolWindows.h"

#include "windows/ACSkinsDlg.h"
#include "windows/ZentyrAbout.h"
#include "windows/ZentyrMain.h"

// The skin dialog and the about box exist from program start, owned by the main window, and
// each showing reuses them.
void PlugDialogs(TForm1& main)
{
    auto* skins = new TSkinDlg(&main);
    main.SetSkinDialog([skins](TSkinManager& manager) {
        skins->SetSkinManager(&manager);
        skins->exec();
    });

    auto* about = new TMachAboutDlg(main.Context().platform, &main);
    main.SetAboutDialog([about] { about->exec(); });
}
