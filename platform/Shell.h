#pragma once

#include <QString>

// Starting programs and opening documents, with the result convention of the classic shell:
// a value of 32 or less means the start failed (the value says why), above 32 means success.
class IShell
{
public:
    virtual ~IShell() = default;

    // Starts `program` with the command-line `parameters` (quoted as on a command line, never
    // handed to a command interpreter) in `workingFolder`, shown without activating.
    virtual int OpenProgram(const QString& program, const QString& parameters,
                            const QString& workingFolder) = 0;

    // Opens `document` with the viewer the desktop associates with it.
    virtual int OpenDocument(const QString& document) = 0;
};

// Shell results below this bound are failures.
inline constexpr int ShellSuccessAbove = 32;
