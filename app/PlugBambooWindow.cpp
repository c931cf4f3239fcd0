#include "app/ToolWindows.h"

void PlugBambooWindow(TForm1& /*main*/)
{
}
