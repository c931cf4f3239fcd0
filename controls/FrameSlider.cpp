#include "controls/FrameSlider.h"

#include <QKeyEvent>
#include <QWheelEvent>

bool WheelMayStep(const QWidget& field)
{
    return field.hasFocus();
}

bool IsPageKey(int key)
{
    return key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

TFrameSlider::TFrameSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void TFrameSlider::wheelEvent(QWheelEvent* event)
{
    if (!WheelMayStep(*this)) {
        event->ignore();
        return;
    }
    QSlider::wheelEvent(event);
}

void TFrameSlider::keyPressEvent(QKeyEvent* event)
{
    if (IsPageKey(event->key())) {
        event->accept();
        return;
    }
    QSlider::keyPressEvent(event);
}
