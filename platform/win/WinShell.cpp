#include "platform/win/WinShell.h"

#include "platform/win/ShellLaunch.h"

int WinShell::OpenProgram(const QString& program, const QString& parameters,
                          const QString& workingFolder)
{
    return winplatform::OpenProgram(program.toStdWString(), parameters.toStdWString(),
                                    workingFolder.toStdWString());
}

int WinShell::OpenDocument(const QString& document)
{
    return winplatform::OpenDocument(document.toStdWString());
}
