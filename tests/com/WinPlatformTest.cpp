// The Windows platform services: the controller's window found by its exact caption, shown
// without activating and hidden; a program launched through the shell with its profile and
// working folder.

#include "FakeHostProcess.h"

#include "host/com/ComError.h"
#include "platform/win/ShellLaunch.h"
#include "platform/win/TopLevelWindows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace winplatform;

namespace {

const std::wstring HostCaption = L"Mach3 CNC Controller ";

HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

// A fresh folder under the temporary folder, with a blank and a non-ASCII character in its name.
std::wstring MakeFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"Zentyr shell \u00e4 " + std::to_wstring(GetTickCount());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::vector<std::string> ReadLines(const std::wstring& path)
{
    std::ifstream in{std::filesystem::path(path)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

TEST(HostWindows, FindsTheTopLevelWindowByItsExactCaption)
{
    FakeHostProcess host({HostCaption, true});
    WindowHandle window = 0;
    ASSERT_TRUE(WaitFor([&] { return (window = FindTopLevelWindow(HostCaption)) != 0; }, 5000));
    DWORD owner = 0;
    GetWindowThreadProcessId(Hwnd(window), &owner);
    EXPECT_EQ(owner, host.ProcessId());

    for (const wchar_t* other : {L"Mach3 CNC Controller", L"Mach3 CNC Controller  ", L"mach3 cnc controller ",
                                 L"Mach3 CNC", L""})
        EXPECT_EQ(FindTopLevelWindow(other), 0u) << comhost::ToUtf8(other);
}

TEST(HostWindows, ShowsWithoutActivatingAndHides)
{
    FakeHostProcess host({HostCaption, true});
    WindowHandle window = 0;
    ASSERT_TRUE(WaitFor([&] { return (window = FindTopLevelWindow(HostCaption)) != 0; }, 5000));

    ASSERT_TRUE(ShowWithoutActivating(window, false));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(Hwnd(window)); }, 5000));
    const HWND foreground = GetForegroundWindow();
    ASSERT_TRUE(ShowWithoutActivating(window, true));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(Hwnd(window)) != FALSE; }, 5000));
    EXPECT_EQ(GetForegroundWindow(), foreground) << "showing must not take the focus";
    EXPECT_NE(GetForegroundWindow(), Hwnd(window));

    host.Kill();
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(Hwnd(window)); }, 5000));
    EXPECT_FALSE(ShowWithoutActivating(window, true)) << "a window that has gone is ignored";
    EXPECT_EQ(FindTopLevelWindow(HostCaption), 0u);
}

// The controller is launched as "<program> /p "<profile>"" in its working folder, shown
// without activating; the probe program records how it was started.
TEST(Shell, LaunchesWithTheProfileAndTheWorkingFolder)
{
    const std::wstring folder = MakeFolder();
    const std::wstring record = folder + L"\\started.txt";
    SetEnvironmentVariableW(L"ZENTYR_SHELL_PROBE_OUT", record.c_str());

    struct Row
    {
        std::wstring profile;
        std::string expected;
    };
    const Row rows[] = {{L"Mach3Mill", "Mach3Mill"}, {L"My Mill \u00e4", "My Mill \xc3\xa4"}};
    for (const Row& row : rows) {
        DeleteFileW(record.c_str());
        const int result = OpenProgram(BesideTestProgram(L"ShellProbe.exe"), L"/p \"" + row.profile + L"\"", folder);
        EXPECT_GT(result, 32);
        ASSERT_TRUE(WaitFor([&] { return GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000));
        const std::vector<std::string> lines = ReadLines(record);
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[0], "cwd=" + comhost::ToUtf8(folder));
        EXPECT_EQ(lines[1], "show=" + std::to_string(SW_SHOWNOACTIVATE));
        EXPECT_EQ(lines[2], "arg=/p");
        EXPECT_EQ(lines[3], "arg=" + row.expected);
    }
    SetEnvironmentVariableW(L"ZENTYR_SHELL_PROBE_OUT", nullptr);
}

TEST(Shell, AProgramThatCannotStartGivesAResultOf32OrLess)
{
    const std::wstring folder = MakeFolder();
    for (const std::wstring& program : {folder + L"\\Mach3.exe", std::wstring()}) {
        const int result = OpenProgram(program, L"/p \"Mach3Mill\"", folder);
        EXPECT_GE(result, 0);
        EXPECT_LE(result, 32) << comhost::ToUtf8(program);
    }
    EXPECT_LE(OpenDocument(folder + L"\\Zentyr.chm"), 32);
}
