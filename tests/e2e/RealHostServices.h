#pragma once

#include "app/ToolWindows.h"
#include "host/HostCallGate.h"
#include "host/link/LinkConnection.h"
#include "host/link/LinkDocument.h"
#include "host/link/LinkEndpoint.h"
#include "host/link/LinkHostWindows.h"
#include "platform/NativeShell.h"
#include "platform/NativeWaiter.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"

#include <QTemporaryDir>

#include <memory>

// The services the program runs on under Linux, reaching the real simulator: the local link
// with the program's own wait pump (so host calls let events through exactly as in the
// program), the desktop shell and a real waiter. Dialogs and settings are fakes: no test opens
// a modal dialog or touches the operator's stored settings.
struct RealHostServices
{
    // `timeoutMs` shortens the link's deadline for tests that wait for it to pass.
    explicit RealHostServices(int timeoutMs = hostlink::LinkDefaultTimeoutMs)
        : documents(hostlink::LinkSocketPath(), timeoutMs),
          hostWindows(hostlink::LinkSocketPath(), timeoutMs)
    {
        documents.SetWaitPump(&PumpHostWaitEvents);
        hostWindows.SetWaitPump(&PumpHostWaitEvents);
    }

    hostlink::LinkDocumentFactory documents;
    hostlink::LinkHostWindows hostWindows;
    NativeShell shell;
    NativeWaiter waiter;
    FakePlatform fakes;
    PlatformServices platform{hostWindows, shell, fakes.fileDialogs, fakes.messageBoxes,
                              fakes.inputBox, waiter};
    FakeSettingsStore settings;

    // The main window with every tool window plugged in, started as the program starts: the
    // controller at `machLocation` with profile "Mach3Mill", its own files in `folder`.
    std::unique_ptr<TForm1> StartMainWindow(const QTemporaryDir& folder, const QString& machLocation)
    {
        settings.values[QStringLiteral("Mach Location")] = machLocation;
        settings.values[QStringLiteral("Mach Profile")] = QStringLiteral("Mach3Mill");
        auto window = std::make_unique<TForm1>(ZentyrContext{
            platform, documents, settings, folder.filePath(QStringLiteral("zentyr")),
            folder.filePath(QStringLiteral("Zentyr.dsktp")), QString(), QString()});
        PlugToolWindows(*window);
        window->FormCreate();
        return window;
    }
};
