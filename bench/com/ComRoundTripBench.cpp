// Round-trip times of GetOEMDRO through COM against the fake automation server, a separate
// process: through the transport as the program uses it (handed to the session's worker
// thread, which calls the host), and, for comparison, a plain dispatch call from this thread.
// Prints percentiles over 10,000 calls each.

#include "FakeHostProcess.h"

#include "host/Mach4Ids.h"
#include "host/com/ComScriptCalls.h"
#include "host/com/ComSession.h"

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Samples = 10000;

template <typename F>
void PrintPercentiles(const char* what, F call)
{
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 200; ++i)
        call();  // warm up
    std::vector<double> us;
    us.reserve(Samples);
    for (int i = 0; i < Samples; ++i) {
        const auto t0 = Clock::now();
        call();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[size_t(q * double(us.size() - 1))]; };
    std::printf("%-48s n=%-6d p50 %8.1f us   p90 %8.1f us   p99 %8.1f us   max %8.1f us\n", what,
                Samples, at(0.50), at(0.90), at(0.99), us.back());
}

}  // namespace

int main()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 2;
    {
        FakeHostProcess host;
        auto session = std::make_shared<comhost::DocumentSession>();
        session->Connect();
        session->ObtainScriptObject();
        comhost::ScriptCalls calls(session);
        PrintPercentiles("GetOEMDRO through the COM transport", [&] { calls.GetOEMDRO(800); });

        IUnknown* running = nullptr;
        IDispatch* document = nullptr;
        comhost::Variant script;
        GetActiveObject(comhost::GuidFromText(Mach4::CLASS_CMach4Doc), nullptr, &running);
        running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&document));
        comhost::InvokeMethod(document, Mach4::DISPID_Doc_GetScriptDispatch, nullptr, 0, &script);
        IDispatch* direct = script.value().pdispVal;
        PrintPercentiles("GetOEMDRO as a plain dispatch call (no worker)", [&] {
            comhost::Variant code = comhost::Variant::Int16(800);
            comhost::Variant result;
            comhost::InvokeMethod(direct, Mach4::DISPID_GetOEMDRO, &code, 1, &result);
        });
        script.Reset();
        document->Release();
        running->Release();
    }
    CoUninitialize();
    return 0;
}
