#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
#include <QPixmap>

// The one lamp image pair that two-state buttons and lamps share: index 0 is the lamp off
// (dark), index 1 the lamp on (lit). Images are drawn in code on first use, so they need a
// running QGuiApplication; use them on the UI thread only.

inline constexpr int LampOffImageIndex = 0;
inline constexpr int LampOnImageIndex = 1;

// The shared pair, green lamps, as an image list a button indexes into.
const QList<QIcon>& LampImages();

// A round lamp of `size` pixels in `color`: lit shows the colour bright with a highlight, off
// shows it dimmed. Exposed for controls that draw lamps of other colours.
QPixmap DrawLampPixmap(const QColor& color, bool lit, int size);
