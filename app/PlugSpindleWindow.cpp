#include "app/ToolWindows.h"

#include "controls/LampImages.h"
#include "controls/MachButtonToggle.h"
#include "controls/Scalar.h"
#include "host/CMach4Wrapper.h"
#include "windows/LayoutStorage.h"
#include "windows/MachSpindleForm.h"
#include "windows/ZentyrMain.h"

// The spindle window opens from "Spindle Control" and the "Spindle" cool-bar button. First
// open: restore its layout, scale it, give the spindle button the main window's lamp images,
// bind it, then switch both buttons on and off so that each shows its state (the direction
// button then reads "CCW"). Its section is written when the operator saves the layout.
void PlugSpindleWindow(TForm1& main)
{
    TToolWindowSlot slot(
        [&main]() -> QWidget* { return new TSpindleForm(main.Context().platform); },
        [&main](QWidget* window) {
            auto* spindle = static_cast<TSpindleForm*>(window);
            if (TLayoutStorage* store = main.fs()) {
                spindle->ReadDesktop(*store);
                store->SelectSection(TSpindleForm::Section);
                spindle->Scalar1().SetScalefactor(
                    store->ReadInteger(QStringLiteral("ScalarSetting"), 0));
            }
            tMachSpindleButton* button = spindle->btnSpindle();
            button->SetLocked(true);
            button->SetImages(LampImages());
            button->SetToggleOnImageIndex(LampOnImageIndex);
            button->SetToggleOffImageIndex(LampOffImageIndex);
            main.wMach().BindWindow(spindle);
            button->SetToggled(true);
            button->SetToggled(false);
            spindle->btnCW()->SetToggled(true);
            spindle->btnCW()->SetToggled(false);
        });
    slot.SetSaveLayout([](QWidget* window, TLayoutStorage& store) {
        static_cast<TSpindleForm*>(window)->WriteDesktop(store);
    });
    main.SetToolWindow(TForm1::ToolWindow::Spindle, std::move(slot));
}
