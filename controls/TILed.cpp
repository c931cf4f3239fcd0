#include "controls/TILed.h"

#include <QMouseEvent>
#include <QPainter>

TTILed::TTILed(QWidget* parent) : QFrame(parent), m_color(0, 128, 0)
{
    resize(DefaultWidth, DefaultHeight);
    SetLedOn(false);
}

QColor TTILed::ColorOf(TLedColor color, bool on)
{
    const int level = on ? 255 : 128;
    switch (color) {
    case TLedColor::Green:
        return {0, level, 0};
    case TLedColor::Yellow:
        return {level, level, 0};
    case TLedColor::Red:
        return {level, 0, 0};
    }
    return {0, level, 0};
}

void TTILed::SetLedOn(bool on)
{
    m_ledOn = on;
    Recolour();
}

void TTILed::SetLedColor(TLedColor color)
{
    m_ledColor = color;
    Recolour();
}

void TTILed::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TTILed::Recolour()
{
    const QColor color = ColorOf(m_ledColor, m_ledOn);
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TTILed::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
    if (!m_caption.trimmed().isEmpty())
        painter.drawText(rect(), Qt::AlignCenter, m_caption);
    painter.end();
    QFrame::paintEvent(event);
}

void TTILed::mouseReleaseEvent(QMouseEvent* event)
{
    Q_EMIT MouseUp(event->button());
    QFrame::mouseReleaseEvent(event);
}
