#pragma once

#include "windows/Skin.h"

#include <QList>

// The look the program had before any skin: its style and palette as the platform gave them.
struct TNativeLook
{
    QString style;
    QPalette palette;
};

// The skins built into the program, the default first: "GrayPlastic (internal)", a dark one for
// a dim shop, a high-contrast one, and the platform's native look (`native`).
//
// Their style sheets colour and outline controls but set no font and no size: the scaler sets
// fonts and sizes, and windows place their controls in fixed designed positions.
QList<TSkin> BuiltInSkins(const TNativeLook& native);
