#include "app/ToolWindows.h"

void PlugUserButtonsWindow(TForm1& /*main*/)
{
}
