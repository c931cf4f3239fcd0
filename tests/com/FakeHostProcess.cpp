#include "FakeHostProcess.h"

#include "fakehost/FakeHostControl.h"

#include "host/Mach4Ids.h"
#include "host/com/ComError.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr int StartMs = 10000;
constexpr int QuitMs = 3000;
constexpr int GoneMs = 5000;

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The registered document's control interface, or null when none answers.
IDispatch* RunningDocument()
{
    IUnknown* running = nullptr;
    if (FAILED(GetActiveObject(comhost::GuidFromText(Mach4::CLASS_CMach4Doc), nullptr, &running)))
        return nullptr;
    IDispatch* document = nullptr;
    running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&document));
    running->Release();
    return document;
}

long ProcessIdOf(IDispatch* document)
{
    comhost::Variant result;
    const auto outcome = comhost::InvokeMethod(document, fakehost::Control_ProcessId, nullptr, 0, &result);
    return SUCCEEDED(outcome.hr) && result.value().vt == VT_I4 ? result.value().lVal : 0;
}

}  // namespace

std::wstring BesideTestProgram(std::wstring_view name)
{
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + std::wstring(name);
}

FakeHostProcess::FakeHostProcess(const Options& options)
{
    std::wstring commandLine = Quoted(BesideTestProgram(L"FakeMachHost.exe"));
    if (!options.windowCaption.empty())
        commandLine += L" --window " + Quoted(options.windowCaption);
    if (!options.offerEvents)
        commandLine += L" --no-events";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "cannot start FakeMachHost.exe (error " << GetLastError() << ")";
        throw std::runtime_error("fake host not started");
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;

    const bool up = WaitFor(
        [&] {
            if (WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0)
                return true;
            IDispatch* document = RunningDocument();
            if (document != nullptr && ProcessIdOf(document) == static_cast<long>(m_processId)) {
                m_control = document;
                return true;
            }
            if (document != nullptr)
                document->Release();
            return false;
        },
        StartMs);
    if (!up || m_control == nullptr) {
        Kill();
        ADD_FAILURE() << "FakeMachHost.exe did not register its document";
        throw std::runtime_error("fake host not registered");
    }
}

FakeHostProcess::~FakeHostProcess()
{
    if (m_process == nullptr)
        return;
    if (m_control != nullptr) {
        comhost::InvokeMethod(m_control, fakehost::Control_Quit, nullptr, 0, nullptr);
        m_control->Release();
        m_control = nullptr;
    }
    if (WaitForSingleObject(m_process, QuitMs) != WAIT_OBJECT_0)
        TerminateProcess(m_process, 1);
    WaitUntilGone();
}

void FakeHostProcess::Kill()
{
    if (m_process == nullptr)
        return;
    TerminateProcess(m_process, 1);
    if (m_control != nullptr) {
        // The proxy to the dead server is released locally.
        m_control->Release();
        m_control = nullptr;
    }
    WaitUntilGone();
}

void FakeHostProcess::WaitUntilGone()
{
    WaitForSingleObject(m_process, GoneMs);
    CloseHandle(m_process);
    m_process = nullptr;
    // The system removes the registration of a process that ended shortly after it ends.
    EXPECT_TRUE(WaitFor([] { return !DocumentRegistered(); }, GoneMs))
        << "the fake server's document stayed registered";
}

bool FakeHostProcess::DocumentRegistered()
{
    IDispatch* document = RunningDocument();
    if (document == nullptr)
        return false;
    const bool answers = ProcessIdOf(document) != 0;
    document->Release();
    return answers;
}

comhost::Variant FakeHostProcess::Control(long id, std::vector<comhost::Variant> args)
{
    comhost::Variant result;
    if (m_control == nullptr)
        throw std::runtime_error("the fake server has gone");
    const auto outcome = comhost::InvokeMethod(m_control, id, args.data(),
                                               static_cast<UINT>(args.size()), &result);
    if (FAILED(outcome.hr))
        throw std::runtime_error("control call failed: " + comhost::ToUtf8(comhost::DescribeFailure(outcome.hr, L"control")));
    return result;
}

void FakeHostProcess::Set(std::wstring_view key, comhost::Variant value)
{
    std::vector<comhost::Variant> args;
    args.push_back(comhost::Variant::Text(key));
    args.push_back(std::move(value));
    Control(fakehost::Control_Set, std::move(args));
}

std::vector<std::wstring> FakeHostProcess::Journal()
{
    const comhost::Variant all = Control(fakehost::Control_Journal, {});
    std::wstring text(all.value().bstrVal, SysStringLen(all.value().bstrVal));
    std::vector<std::wstring> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find(L'\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void FakeHostProcess::ClearJournal() { Control(fakehost::Control_ClearJournal, {}); }

void FakeHostProcess::FailNext(long dispId, std::wstring_view text)
{
    std::vector<comhost::Variant> args;
    args.push_back(comhost::Variant::Int16(static_cast<short>(dispId)));
    args.push_back(comhost::Variant::Text(text));
    Control(fakehost::Control_FailNext, std::move(args));
}

void FakeHostProcess::HangNext(long dispId, int ms)
{
    std::vector<comhost::Variant> args;
    args.push_back(comhost::Variant::Int16(static_cast<short>(dispId)));
    args.push_back(comhost::Variant::Double(ms));
    Control(fakehost::Control_HangNext, std::move(args));
}

long FakeHostProcess::AdvisedSinks() { return Control(fakehost::Control_AdvisedSinks, {}).value().lVal; }

long FakeHostProcess::ScriptReferences()
{
    return Control(fakehost::Control_ScriptReferences, {}).value().lVal;
}

std::wstring FakeHostProcess::LastText()
{
    const comhost::Variant text = Control(fakehost::Control_LastText, {});
    return std::wstring(text.value().bstrVal, SysStringLen(text.value().bstrVal));
}
