#include "app/ToolWindows.h"

void PlugDialogs(TForm1& /*main*/)
{
}
