#include "app/ToolWindows.h"
#include "app/UserLayoutPlug.h"
#include "windows/MachLEDForm.h"

void PlugLedsWindow(TForm1& main)
{
    main.SetToolWindow(TForm1::ToolWindow::Leds, UserLayoutSlot<TUserLEDsForm>(main));

    // A second LEDs window is created at program start and stays hidden: no command opens it.
    // It goes with the main window.
    auto* spare = new TUserLEDsForm(main.Context().platform);
    QObject::connect(&main, &QObject::destroyed, spare, [spare] { delete spare; });
}
