#pragma once

#include <string_view>

// Starting programs and opening documents through the Windows shell, in plain Win32. Results
// follow the shell's convention: above 32 the start succeeded; 32 or less says why it failed
// (2 file not found, 3 path not found, 5 access denied, 8 out of memory, 31 no association).

namespace winplatform {

// Opens `program` with the shell verb "open" and the command-line `parameters`, in
// `workingFolder` (empty: the shell's choice), shown without activating. The shell shows no
// error box of its own: the caller reports the result.
int OpenProgram(std::wstring_view program, std::wstring_view parameters,
                std::wstring_view workingFolder);

// Opens `document` with the program the shell associates with it, shown normally.
int OpenDocument(std::wstring_view document);

}  // namespace winplatform
