#include "app/ToolWindows.h"

void PlugEditorWindow(TForm1& /*main*/)
{
}
