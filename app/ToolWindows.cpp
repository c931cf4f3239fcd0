#include "app/ToolWindows.h"

void PlugToolWindows(TForm1& main)
{
    PlugJogWindow(main);
    PlugSpindleWindow(main);
    PlugEditorWindow(main);
    PlugUserButtonsWindow(main);
    PlugLedsWindow(main);
    PlugBambooWindow(main);
    PlugDialogs(main);
}
