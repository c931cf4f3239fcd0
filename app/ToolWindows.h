#pragma once

class TForm1;

// The program's composition of its windows: plugs every tool window into the main window's
// slots (so its menu items and buttons open it with the window's first-open steps) and creates
// the dialogs and windows that exist from program start. Call once, after the main window is
// constructed and before its start-up runs.
void PlugToolWindows(TForm1& main);

// One plug per window, each in its own file.
void PlugJogWindow(TForm1& main);
void PlugSpindleWindow(TForm1& main);
void PlugEditorWindow(TForm1& main);
void PlugUserButtonsWindow(TForm1& main);
void PlugLedsWindow(TForm1& main);
void PlugBambooWindow(TForm1& main);
void PlugDialogs(TForm1& main);
