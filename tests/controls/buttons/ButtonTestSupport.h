#pragma once

#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"

#include "FakePlatform.h"
#include "RecordingHost.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWidget>

#include <memory>

// A window full of buttons over a recording host and fake platform services. StopRequested is
// process-wide, so every test starts and ends with it clear.
struct ButtonFixture : ::testing::Test
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    FakePlatform platform;
    QWidget window;

    void SetUp() override { StopRequested = false; }
    void TearDown() override { StopRequested = false; }

    template <typename Button>
    Button* Make()
    {
        return new Button(platform.services, &window);
    }
    // A button bound as window binding binds it.
    template <typename Button>
    Button* Bound()
    {
        Button* button = Make<Button>();
        button->BindMach(host, nullptr);
        return button;
    }
    tMachOEMButton* BoundOEM(TmcOEMButtontype kind)
    {
        auto* button = Bound<tMachOEMButton>();
        button->SetOEMbutton(kind);
        return button;
    }
    tMachCodeButton* BoundCode(const QString& code)
    {
        auto* button = Bound<tMachCodeButton>();
        button->SetCode(code);
        return button;
    }
    QStringList Errors() const
    {
        QStringList texts;
        for (const auto& box : platform.messageBoxes.shown) {
            if (box.kind == IMessageBoxes::Kind::Error)
                texts.append(box.text);
        }
        return texts;
    }
};

inline QString S(const char* text)
{
    return QString::fromUtf8(text);
}
