#include "app/ToolWindows.h"

void PlugLedsWindow(TForm1& /*main*/)
{
}
