#include "app/ToolWindows.h"
#include "app/UserLayoutPlug.h"
#include "controls/MachButtonCodeRun.h"
#include "windows/MachUserButtonForm.h"

void PlugUserButtonsWindow(TForm1& main)
{
    main.SetToolWindow(TForm1::ToolWindow::UserButtons,
                       UserLayoutSlot<TUserCodeButtonsForm>(main, [&main](TUserCodeButtonsForm& form) {
                           const TCMach4Wrapper& wMach = main.wMach();
                           form.SetMacroFolder(MachMacroFolder(wMach.MachDir(), wMach.Profile()));
                       }));
}
