#include "controls/MachMsgLogFrame.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QWindow>

TMachMsgLog::TMachMsgLog(QWidget* parent)
    : QFrame(parent),
      m_dragBar(new QLabel(QStringLiteral("Message Log"), this)),
      m_msg(new QPlainTextEdit(this))
{
    resize(216, 81);

    m_dragBar->setObjectName(QStringLiteral("sDragBar1"));
    QFont bold = m_dragBar->font();
    bold.setBold(true);
    m_dragBar->setFont(bold);
    m_dragBar->setAutoFillBackground(true);
    QPalette palette = m_dragBar->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::WindowText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_dragBar->setPalette(palette);
    m_dragBar->setCursor(Qt::PointingHandCursor);
    m_dragBar->installEventFilter(this);

    m_msg->setObjectName(QStringLiteral("msg"));
    m_msg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_msg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_msg->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_msg->setMaximumBlockCount(0);
    PlaceParts();
}

TMachMsgLog::~TMachMsgLog()
{
    m_dragBar->removeEventFilter(this);
}

void TMachMsgLog::AppendMessageLine(const QString& text)
{
    m_msg->appendPlainText(text);
}

bool TMachMsgLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_dragBar)
        return QFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        QWidget* holder = window();
        // The window system moves the window where it can; elsewhere the frame follows the
        // cursor itself until the button is released.
        if (holder->windowHandle() != nullptr && holder->windowHandle()->startSystemMove())
            return true;
        m_dragging = true;
        m_dragOffset = holder->pos() - mouse->globalPosition().toPoint();
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            window()->move(mouse->globalPosition().toPoint() + m_dragOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragging && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void TMachMsgLog::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    PlaceParts();
}

void TMachMsgLog::PlaceParts()
{
    m_dragBar->setGeometry(0, 0, width(), TitleHeight);
    m_msg->setGeometry(0, TitleHeight, width(), std::max(0, height() - TitleHeight));
}
