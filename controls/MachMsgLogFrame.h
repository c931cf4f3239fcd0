#pragma once

#include "host/MachBinding.h"

#include <QFrame>
#include <QPoint>

class QLabel;
class QPlainTextEdit;

// A titled text area that collects the status messages the program sends to the host. Binding
// a window makes its log the host connection's message log; the connection appends each status
// message as a new last line. Nothing is stored. Pressing the left mouse button on the title
// bar moves the window that holds the frame.
class TMachMsgLog final : public QFrame, public IMachMessageLog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachMsgLog)

public:
    static constexpr int TitleHeight = 20;

    explicit TMachMsgLog(QWidget* parent = nullptr);
    ~TMachMsgLog() override;

    void AppendMessageLine(const QString& text) override;

    QLabel* DragBar() const { return m_dragBar; }
    QPlainTextEdit* Memo() const { return m_msg; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The title bar across the top, the text area filling the rest.
    void PlaceParts();

    QLabel* m_dragBar;
    QPlainTextEdit* m_msg;
    // Window position minus the global cursor position while the window is moved by hand.
    QPoint m_dragOffset;
    bool m_dragging = false;
};
