#include "platform/win/ShellLaunch.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace winplatform {

namespace {

constexpr int ShellOk = 33;

int Execute(std::wstring_view file, std::wstring_view parameters, std::wstring_view folder, int show)
{
    const std::wstring fileText(file);
    const std::wstring parameterText(parameters);
    const std::wstring folderText(folder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No error box from the shell, and the start is complete when the call returns.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = fileText.c_str();
    info.lpParameters = parameterText.empty() ? nullptr : parameterText.c_str();
    info.lpDirectory = folderText.empty() ? nullptr : folderText.c_str();
    info.nShow = show;
    if (ShellExecuteExW(&info))
        return ShellOk;
    // The shell's own result code when it gave one, otherwise the system error in the classic
    // range of 32 and below (0: out of resources, or a reason the classic range cannot name).
    const auto code = reinterpret_cast<INT_PTR>(info.hInstApp);
    if (code > 0 && code <= 32)
        return static_cast<int>(code);
    const DWORD error = GetLastError();
    if (error > 0 && error <= 32)
        return static_cast<int>(error);
    return error == ERROR_BAD_EXE_FORMAT ? ERROR_BAD_FORMAT : 0;
}

}  // namespace

int OpenProgram(std::wstring_view program, std::wstring_view parameters,
                std::wstring_view workingFolder)
{
    if (program.empty())
        return SE_ERR_FNF;
    return Execute(program, parameters, workingFolder, SW_SHOWNOACTIVATE);
}

int OpenDocument(std::wstring_view document)
{
    if (document.empty())
        return SE_ERR_FNF;
    return Execute(document, {}, {}, SW_SHOWNORMAL);
}

}  // namespace winplatform
