// The fake automation server: a separate program that registers a controller document under
// the document class in the running object table and serves it until asked to quit (or killed).
//
//   FakeMachHost [--window <caption>] [--no-events]
//
// --window opens a top-level window with that caption (shown, not activated); --no-events
// leaves out the document's connection point.

#include "FakeHostObjects.h"

#include "host/Mach4Ids.h"

#include <oleauto.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

// The fake's own type library: it declares the script object's event and call interface so
// that the system can carry it between processes, as the controller's installed type library
// does on a real machine.
const GUID FakeLibraryId = {0xcdabed1f, 0x4194, 0x46e8, {0x93, 0x5b, 0x07, 0x12, 0x03, 0x59, 0x48, 0xfd}};

HRESULT RegisterScriptInterface()
{
    ITypeLib* registered = nullptr;
    if (SUCCEEDED(LoadRegTypeLib(FakeLibraryId, 1, 0, LOCALE_NEUTRAL, &registered))) {
        registered->Release();
        return S_OK;
    }
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"ZentyrFakeMachHost.tlb";

    ICreateTypeLib2* library = nullptr;
    HRESULT hr = CreateTypeLib2(SYS_WIN64, path.c_str(), &library);
    if (FAILED(hr))
        return hr;
    library->SetGuid(FakeLibraryId);
    library->SetVersion(1, 0);
    library->SetName(const_cast<LPOLESTR>(L"ZentyrFakeMachHost"));
    library->SetLcid(LOCALE_NEUTRAL);

    ICreateTypeInfo* script = nullptr;
    ITypeLib* standard = nullptr;
    ITypeInfo* dispatch = nullptr;
    HREFTYPE dispatchRef = 0;
    hr = library->CreateTypeInfo(const_cast<LPOLESTR>(L"IMyScriptObject"), TKIND_DISPATCH, &script);
    if (SUCCEEDED(hr))
        hr = script->SetGuid(comhost::GuidFromText(Mach4::IID_IMyScriptObject));
    if (SUCCEEDED(hr))
        hr = LoadTypeLib(L"stdole2.tlb", &standard);
    if (SUCCEEDED(hr))
        hr = standard->GetTypeInfoOfGuid(IID_IDispatch, &dispatch);
    if (SUCCEEDED(hr))
        hr = script->AddRefTypeInfo(dispatch, &dispatchRef);
    if (SUCCEEDED(hr))
        hr = script->AddImplType(0, dispatchRef);
    if (SUCCEEDED(hr))
        hr = script->LayOut();
    if (SUCCEEDED(hr))
        hr = library->SaveAllChanges();
    if (dispatch)
        dispatch->Release();
    if (standard)
        standard->Release();
    if (script)
        script->Release();
    library->Release();
    if (FAILED(hr))
        return hr;

    ITypeLib* saved = nullptr;
    hr = LoadTypeLib(path.c_str(), &saved);
    if (SUCCEEDED(hr)) {
        // Registered for the current user where the system can (no administrator needed).
        using RegisterForUser = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
        const auto forUser = reinterpret_cast<RegisterForUser>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"oleaut32.dll"), "RegisterTypeLibForUser")));
        hr = forUser != nullptr ? forUser(saved, path.data(), nullptr) : E_NOTIMPL;
        if (FAILED(hr))
            hr = RegisterTypeLib(saved, path.data(), nullptr);
        saved->Release();
    }
    return hr;
}

HWND OpenWindow(const std::wstring& caption)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZentyrFakeMachHostWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW,
                                  20, 20, 320, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window != nullptr)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

}  // namespace

int main()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring caption;
    bool offerEvents = true;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--window" && i + 1 < argc)
            caption = argv[++i];
        else if (arg == L"--no-events")
            offerEvents = false;
    }
    LocalFree(argv);

    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 2;
    HRESULT hr = RegisterScriptInterface();
    if (FAILED(hr)) {
        std::fprintf(stderr, "FakeMachHost: cannot register the script interface (0x%08lX)\n",
                     static_cast<unsigned long>(hr));
        return 3;
    }

    static fakehost::State state;
    state.mainThread = GetCurrentThreadId();
    static fakehost::Document document(state, offerEvents);

    HWND window = caption.empty() ? nullptr : OpenWindow(caption);
    DWORD registration = 0;
    hr = RegisterActiveObject(static_cast<IDispatch*>(&document),
                              comhost::GuidFromText(Mach4::CLASS_CMach4Doc), ACTIVEOBJECT_STRONG,
                              &registration);
    if (FAILED(hr)) {
        std::fprintf(stderr, "FakeMachHost: cannot register the document (0x%08lX)\n",
                     static_cast<unsigned long>(hr));
        return 4;
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RevokeActiveObject(registration, nullptr);
    if (window != nullptr)
        DestroyWindow(window);
    CoUninitialize();
    return 0;
}
