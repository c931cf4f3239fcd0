#pragma once

#include "FakePlatform.h"
#include "RecordingHost.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <memory>

// A shown, active top-level window around the control under test, a recording host and the
// platform fakes. Focus tests need the window active: only then does a widget hold the focus.
struct DisplaysHarness
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    FakePlatform platform;
    QWidget window;

    DisplaysHarness() { window.resize(400, 200); }

    // Shows and activates the window with the focus on a field of its own, so that focusing
    // the control under test is a real focus change.
    void Show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        (void)QTest::qWaitForWindowActive(&window);
        FocusElsewhere();
    }

    // Gives `widget` the keyboard focus as the operator's Tab would.
    static void Focus(QWidget* widget)
    {
        widget->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    // Moves the focus elsewhere in the window, as clicking another control would.
    void FocusElsewhere()
    {
        if (m_elsewhere == nullptr) {
            m_elsewhere = new QLineEdit(&window);
            m_elsewhere->setObjectName(QStringLiteral("elsewhere"));
            m_elsewhere->move(300, 150);
            m_elsewhere->show();
        }
        m_elsewhere->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    }

    QStringList Journal() const { return host->journal; }

private:
    QLineEdit* m_elsewhere = nullptr;
};
