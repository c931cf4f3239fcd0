#include "app/ToolWindows.h"

void PlugJogWindow(TForm1& /*main*/)
{
}
