#include "app/ToolWindows.h"

#include "controls/Scalar.h"
#include "host/CMach4Wrapper.h"
#include "windows/LayoutStorage.h"
#include "windows/MachJogForm.h"
#include "windows/ZentyrMain.h"

// The jog window opens from "Jog Control" and the "Jog" cool-bar button. First open: restore
// its layout, scale it from its section's "ScalarSetting", bind it. Its section is written when
// the operator saves the desktop layout, and its six directions at program end in any case.
void PlugJogWindow(TForm1& main)
{
    TToolWindowSlot slot(
        [&main]() -> QWidget* { return new TJogForm(main.Context().platform); },
        [&main](QWidget* window) {
            auto* jog = static_cast<TJogForm*>(window);
            if (TLayoutStorage* store = main.fs()) {
                jog->ReadDesktop(*store);
                store->SelectSection(TJogForm::Section);
                jog->Scalar1().SetScalefactor(
                    store->ReadInteger(QStringLiteral("ScalarSetting"), 0));
            }
            main.wMach().BindWindow(jog);
        });
    slot.SetSaveLayout([](QWidget* window, TLayoutStorage& store) {
        static_cast<TJogForm*>(window)->WriteDesktop(store);
    });
    slot.SetStoreAtClose([](QWidget* window, TLayoutStorage& store) {
        static_cast<TJogForm*>(window)->StoreDirections(store);
    });
    main.SetToolWindow(TForm1::ToolWindow::Jog, std::move(slot));
}
