#pragma once

class QWidget;

// The window state as the desktop layout stores it: 0 normal, 1 minimised, 2 maximised.
int WindowStateCode(const QWidget& window);
// Applies a stored state; any code other than 1 and 2 means normal.
void ApplyWindowStateCode(QWidget& window, int code);
