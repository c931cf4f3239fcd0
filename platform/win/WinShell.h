#pragma once

#include "platform/Shell.h"

// Starting programs and opening documents through the Windows shell (verb "open"). Programs
// start without taking the focus; the shell's result is returned as it is.
class WinShell final : public IShell
{
public:
    int OpenProgram(const QString& program, const QString& parameters,
                    const QString& workingFolder) override;
    int OpenDocument(const QString& document) override;
};
