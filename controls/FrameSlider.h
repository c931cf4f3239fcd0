#pragma once

#include <QSlider>

class QKeyEvent;
class QWheelEvent;

// The slider of a value frame. Moving it can send a new value to the host, so only deliberate
// input moves it: the mouse wheel acts only while the slider has the keyboard focus (a wheel
// turned while the pointer merely passes over it goes on to the window behind, which may
// scroll), the wheel never gives it the focus, and PageUp/PageDown do nothing.
class TFrameSlider final : public QSlider
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFrameSlider)

public:
    explicit TFrameSlider(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The rules the spin fields of the value frames share with the slider: whether a wheel event
// may step `field` (only while it has the keyboard focus), and whether a key is one of the
// page keys that do nothing in a value frame.
bool WheelMayStep(const QWidget& field);
bool IsPageKey(int key);
