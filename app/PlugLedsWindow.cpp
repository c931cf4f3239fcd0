#include "app/ToolWindows.h"
#include "app/UserLayoutPlug.h"
#include "windows/MachLEDForm.h"

void PlugLedsWindow(TForm1& main)
{
    main.SetToolWindow(TForm1::ToolWindow::Leds, UserLayoutSlot<TUserLEDsForm>(main));

    // One more LEDs window exists from program start, as it always has; no command opens it.
    // It goes with the main window.
    auto* spare = new TUserLEDsForm(main.Context().platform);
    QObject::connect(&main, &QObject::destroyed, spare, [spare] { delete spare; });
}
