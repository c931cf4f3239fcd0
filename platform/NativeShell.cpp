#include "platform/NativeShell.h"

int NativeShell::OpenProgram(const QString&, const QString&, const QString&) { return 0; }
int NativeShell::OpenDocument(const QString&) { return 0; }
