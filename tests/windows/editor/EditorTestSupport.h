#pragma once

#include "controls/MachButton.h"
#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "windows/GCodeLineList.h"
#include "windows/MachGCodeForm.h"

#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPlainTextEdit>
#include <QTest>

// The editor opened from a main window over the recording host, as the program opens it (its
// plug and first-open steps). The update thread is held, so tests run poll passes themselves;
// the host's journal starts empty.
struct EditorFixture : ::testing::Test, MainWindowHarness
{
    TGCodeEditor* editor = nullptr;

    void SetUp() override
    {
        HostRunning();
        Start({}, {}, true);
        ASSERT_TRUE(window->wMach().Connected());
        Thread().Suspend();
    }

    TGCodeEditor& Open()
    {
        window->OpenToolWindow(TForm1::ToolWindow::Editor);
        editor = static_cast<TGCodeEditor*>(
            window->ToolWindowSlot(TForm1::ToolWindow::Editor).Window());
        host->ClearJournal();
        platform.waiter.waits.clear();
        return *editor;
    }

    TMachUpdateThread& Thread() { return *window->wMach().UpdateThread(); }

    QString Path(const QString& name) const { return folder.filePath(name); }

    static QByteArray ReadBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void WriteBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Text typed by the operator: the text changes and a key is released.
    void Type(const QString& text)
    {
        editor->CodeText()->setPlainText(text);
        editor->Commands().SetModified(true);
    }
    QString Text() const { return editor->CodeText()->toPlainText(); }

    QStringList Shown(IMessageBoxes::Kind kind) const
    {
        QStringList texts;
        for (const auto& box : platform.messageBoxes.shown) {
            if (box.kind == kind)
                texts.append(box.text);
        }
        return texts;
    }
};

inline QString S(const char* text)
{
    return QString::fromUtf8(text);
}
