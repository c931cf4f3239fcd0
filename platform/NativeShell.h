#pragma once

#include "platform/Shell.h"

// Starts programs as separate processes (never through a command interpreter) and opens
// documents with the desktop's associated viewer.
class NativeShell final : public IShell
{
public:
    int OpenProgram(const QString& program, const QString& parameters,
                    const QString& workingFolder) override;
    int OpenDocument(const QString& document) override;
};
