#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

#include <cstdint>

class QMouseEvent;
class QPaintEvent;

enum class TLedColor { Green, Yellow, Red };

// A small panel that shows a lamp: its background is the bright colour of `LedColor` while
// `LedOn`, the dark one otherwise. The fade and flash settings are kept for the form data's
// sake and do not change the drawing.
//
// The panel is repainted only when the colour it shows actually changes, so a poll pass that
// sets the same state again costs no drawing.
class TTILed : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TTILed)

public:
    static constexpr int DefaultWidth = 28;
    static constexpr int DefaultHeight = 11;

    explicit TTILed(QWidget* parent = nullptr);

    bool LedOn() const { return m_ledOn; }
    void SetLedOn(bool on);

    TLedColor LedColor() const { return m_ledColor; }
    void SetLedColor(TLedColor color);

    uint8_t LedFadeSpeed() const { return m_fadeSpeed; }
    void SetLedFadeSpeed(uint8_t speed) { m_fadeSpeed = speed; }
    bool LedSmoothFlash() const { return m_smoothFlash; }
    void SetLedSmoothFlash(bool smooth) { m_smoothFlash = smooth; }
    int LedDelayBeforeFade() const { return m_delayBeforeFade; }
    void SetLedDelayBeforeFade(int ms) { m_delayBeforeFade = ms; }

    // Text drawn centred on the lamp (one blank by default).
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    // The background colour the panel shows now.
    QColor Color() const { return m_color; }
    // The colour table: the lamp's colour for a colour and a state.
    static QColor ColorOf(TLedColor color, bool on);

    QSize sizeHint() const override { return {DefaultWidth, DefaultHeight}; }

Q_SIGNALS:
    // A mouse button was released over the lamp.
    void MouseUp(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Recolour();

    QColor m_color;
    QString m_caption = QStringLiteral(" ");
    TLedColor m_ledColor = TLedColor::Green;
    int m_delayBeforeFade = 100;
    uint8_t m_fadeSpeed = 20;
    bool m_smoothFlash = true;
    bool m_ledOn = false;
};
