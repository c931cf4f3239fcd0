#pragma once

#include "app/ToolWindows.h"
#include "host/CMach4Wrapper.h"
#include "windows/ZentyrMain.h"

#include "FakePlatform.h"
#include "FakeSettingsStore.h"
#include "ManualPassTimer.h"
#include "RecordingHost.h"

#include <QTemporaryDir>

#include <memory>

// The main window over the recording host and fakes of every platform service, with its
// layout file in a private folder.
struct MainWindowHarness
{
    QTemporaryDir folder;
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    FakePlatform platform;
    FakeSettingsStore settings;
    std::unique_ptr<TForm1> window;
    // Set before Start: the update thread is paced by a manual timer, `pacing` once the thread
    // exists, that the test moves; otherwise by Qt's timer.
    bool manualPacing = false;
    ManualPassTimer* pacing = nullptr;

    QString LayoutPath() const { return folder.filePath(QStringLiteral("Zentyr.dsktp")); }

    // The settings name the host's location and profile.
    void HostKnown(const QString& profile = QStringLiteral("Mill"))
    {
        settings.values[QStringLiteral("Mach Location")] = QStringLiteral("/opt/mach3/Mach3.exe");
        settings.values[QStringLiteral("Mach Profile")] = profile;
    }

    // As HostKnown, and the host's window is up.
    void HostRunning(const QString& profile = QStringLiteral("Mill"))
    {
        HostKnown(profile);
        platform.hostWindows.caption = TCMach4Wrapper::HostWindowCaption;
    }

    // Creates the window, plugs the program's tool windows into it when asked, and runs its
    // start-up.
    TForm1& Start(const QString& defaultMachLoc = {}, const QString& defaultProfile = {},
                  bool withToolWindows = false)
    {
        window = std::make_unique<TForm1>(ZentyrContext{
            platform.services, documents, settings, folder.filePath(QStringLiteral("zentyr")),
            LayoutPath(), defaultMachLoc, defaultProfile});
        if (withToolWindows)
            PlugToolWindows(*window);
        if (manualPacing) {
            window->wMach().SetPassTimers([this] {
                auto timer = std::make_unique<ManualPassTimer>();
                pacing = timer.get();
                return timer;
            });
        }
        window->FormCreate();
        return *window;
    }
};
