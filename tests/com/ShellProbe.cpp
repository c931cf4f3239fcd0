// A program the shell tests launch: it writes how it was started (working folder, show state,
// arguments, one per line, UTF-8) to the file named by ZENTYR_SHELL_PROBE_OUT, then ends.

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

}  // namespace

int main()
{
    wchar_t target[MAX_PATH * 2];
    if (GetEnvironmentVariableW(L"ZENTYR_SHELL_PROBE_OUT", target, MAX_PATH * 2) == 0)
        return 1;
    wchar_t folder[MAX_PATH * 2];
    GetCurrentDirectoryW(MAX_PATH * 2, folder);
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;

    std::wstring text = std::wstring(L"cwd=") + folder + L"\nshow=" + std::to_wstring(show) + L"\n";
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    for (int i = 1; i < argc; ++i)
        text += std::wstring(L"arg=") + argv[i] + L"\n";
    LocalFree(argv);

    // Written under a temporary name and renamed, so a reader never sees half a file.
    const std::wstring partial = std::wstring(target) + L".part";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    const std::string bytes = Utf8(text);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size())
        return 3;
    return MoveFileExW(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
