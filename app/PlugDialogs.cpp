#include "app/ToolWindows.h"

#include "windows/ACSkinsDlg.h"
#include "windows/ZentyrAbout.h"
#include "windows/ZentyrMain.h"

// The about box and the skin dialog exist from program start, owned by the main window, and
// each showing reuses them.
void PlugDialogs(TForm1& main)
{
    auto* about = new TMachAboutDlg(main.Context().platform, &main);
    main.SetAboutDialog([about] { about->exec(); });

    auto* skins = new TSkinDlg(&main);
    main.SetSkinDialog([skins](TSkinManager& manager) {
        skins->SetSkinManager(&manager);
        skins->exec();
    });
}
