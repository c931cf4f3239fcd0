#include "app/ToolWindows.h"

#include "bamboo/BambooMillMainForm.h"
#include "host/CMach4Wrapper.h"
#include "windows/ZentyrMain.h"

// The bamboo milling window: created on first use with the host connection and its script
// object, then its layout is restored and it is bound.
void PlugBambooWindow(TForm1& main)
{
    TToolWindowSlot slot(
        [&main]() -> QWidget* {
            return new TBambooMillForm(main.wMach(), main.wMach().iMach(),
                                       main.Context().platform);
        },
        [&main](QWidget* window) {
            auto* form = static_cast<TBambooMillForm*>(window);
            if (TLayoutStorage* fs = main.fs())
                form->ReadDesktopSection(*fs);
            main.wMach().BindWindow(form);
        });
    slot.SetSaveLayout([](QWidget* window, TLayoutStorage& fs) {
        static_cast<TBambooMillForm*>(window)->WriteDesktopSection(fs);
    });
    main.SetToolWindow(TForm1::ToolWindow::Bamboo, std::move(slot));
}
