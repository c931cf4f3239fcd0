#include "app/ToolWindows.h"

void PlugSpindleWindow(TForm1& /*main*/)
{
}
