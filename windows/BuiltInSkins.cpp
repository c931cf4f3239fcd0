#include "windows/BuiltInSkins.h"

#include <QStyleFactory>

#include <initializer_list>
#include <utility>

// The built-in skins restyle controls through the style and the palette only. Their style
// sheets touch nothing but the window chrome that shows no machine state (menu bar, status bar,
// tool tips and the main window's cool-bar and title-bar buttons): a style sheet rule for a
// push button or a frame would override the colours that host-bound controls and the windows
// of other areas set on their own palettes to show a state.

namespace {

using Role = QPalette::ColorRole;
using RoleColours = std::initializer_list<std::pair<Role, const char*>>;

// A palette with every role set for all groups from `active`, then the disabled group's roles
// from `disabled`.
QPalette MakePalette(RoleColours active, RoleColours disabled)
{
    QPalette palette;
    for (const auto& [role, colour] : active)
        palette.setColor(role, QColor::fromString(QLatin1String(colour)));
    for (const auto& [role, colour] : disabled)
        palette.setColor(QPalette::Disabled, role, QColor::fromString(QLatin1String(colour)));
    palette.setResolveMask(~QPalette::ResolveMask(0));
    return palette;
}

QString StyleKey(const char* wanted)
{
    const QString name = QLatin1String(wanted);
    for (const QString& key : QStyleFactory::keys()) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return key;
    }
    return name;
}

TSkin GrayPlastic()
{
    TSkin skin;
    skin.name = QStringLiteral("GrayPlastic (internal)");
    skin.style = StyleKey("Fusion");
    skin.palette = MakePalette(
        {{Role::Window, "#c4c8ce"}, {Role::WindowText, "#16181b"}, {Role::Base, "#fbfbfc"},
         {Role::AlternateBase, "#eceef1"}, {Role::ToolTipBase, "#fffbe2"},
         {Role::ToolTipText, "#16181b"}, {Role::PlaceholderText, "#80868e"},
         {Role::Text, "#111315"}, {Role::Button, "#d6dae0"}, {Role::ButtonText, "#111315"},
         {Role::BrightText, "#ffffff"}, {Role::Light, "#ffffff"}, {Role::Midlight, "#eceef1"},
         {Role::Mid, "#9da3ab"}, {Role::Dark, "#737982"}, {Role::Shadow, "#43474d"},
         {Role::Highlight, "#3d73b8"}, {Role::HighlightedText, "#ffffff"},
         {Role::Link, "#1c5fb8"}, {Role::LinkVisited, "#6a3fb0"}},
        {{Role::WindowText, "#868b93"}, {Role::Text, "#868b93"}, {Role::ButtonText, "#868b93"},
         {Role::Base, "#eceef1"}, {Role::Highlight, "#9aa4b2"}});
    skin.styleSheet = QStringLiteral(R"(
QMenuBar {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f0f2f4, stop:1 #c0c5cb);
    border-bottom: 1px solid #a6abb3;
}
QMenuBar::item { background: transparent; }
QMenuBar::item:selected { background: #3d73b8; color: #ffffff; border-radius: 2px; }
QStatusBar {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #d3d7dc, stop:1 #b9bec5);
    border-top: 1px solid #a6abb3;
}
QStatusBar QLabel { border: 1px solid #b4b9c0; border-radius: 2px; }
#CoolBar1 {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #e8ebee, stop:1 #bcc1c8);
    border-bottom: 1px solid #a6abb3;
}
#CoolBar1 QToolButton, #tsMachVisible, #tsBamboo {
    border: 1px solid transparent; border-radius: 3px; color: #16181b;
}
#CoolBar1 QToolButton:hover, #tsMachVisible:hover, #tsBamboo:hover {
    border-color: #7b818a;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:0.5 #e6e9ec,
                                stop:0.51 #d7dbe0, stop:1 #e9ecef);
}
#CoolBar1 QToolButton:pressed, #tsMachVisible:pressed, #tsBamboo:pressed {
    background: #bfc4cb;
}
#CoolBar1 QToolButton:disabled, #tsMachVisible:disabled, #tsBamboo:disabled { color: #8e939b; }
QToolTip { color: #16181b; background: #fffbe2; border: 1px solid #7b818a; }
)");
    return skin;
}

// Low glare for a dim shop: dark greys, light text, an amber accent instead of a bright blue.
TSkin DarkShop()
{
    TSkin skin;
    skin.name = QStringLiteral("Dark Shop (internal)");
    skin.style = StyleKey("Fusion");
    skin.palette = MakePalette(
        {{Role::Window, "#2a2c30"}, {Role::WindowText, "#e3e3e3"}, {Role::Base, "#1c1d20"},
         {Role::AlternateBase, "#25272b"}, {Role::ToolTipBase, "#3a3d42"},
         {Role::ToolTipText, "#ececec"}, {Role::PlaceholderText, "#8a8d92"},
         {Role::Text, "#e8e8e8"}, {Role::Button, "#3a3d42"}, {Role::ButtonText, "#ececec"},
         {Role::BrightText, "#ff7a66"}, {Role::Light, "#575b62"}, {Role::Midlight, "#474a50"},
         {Role::Mid, "#303236"}, {Role::Dark, "#1a1b1e"}, {Role::Shadow, "#0a0a0b"},
         {Role::Highlight, "#c7812d"}, {Role::HighlightedText, "#111111"},
         {Role::Link, "#e3a35a"}, {Role::LinkVisited, "#c79060"}},
        {{Role::WindowText, "#7b7e84"}, {Role::Text, "#7b7e84"}, {Role::ButtonText, "#7b7e84"},
         {Role::Base, "#232427"}, {Role::Highlight, "#5a4a36"}});
    skin.styleSheet = QStringLiteral(R"(
QMenuBar { background: #222427; border-bottom: 1px solid #111214; }
QMenuBar::item { background: transparent; }
QMenuBar::item:selected { background: #c7812d; color: #111111; border-radius: 2px; }
QStatusBar { background: #222427; border-top: 1px solid #111214; }
QStatusBar QLabel { border: 1px solid #3a3d42; border-radius: 2px; }
#CoolBar1 { background: #222427; border-bottom: 1px solid #111214; }
#CoolBar1 QToolButton, #tsMachVisible, #tsBamboo {
    border: 1px solid transparent; border-radius: 3px; color: #e3e3e3;
}
#CoolBar1 QToolButton:hover, #tsMachVisible:hover, #tsBamboo:hover {
    border-color: #c7812d; background: #34373c;
}
#CoolBar1 QToolButton:pressed, #tsMachVisible:pressed, #tsBamboo:pressed {
    background: #4a3a26;
}
#CoolBar1 QToolButton:disabled, #tsMachVisible:disabled, #tsBamboo:disabled { color: #6b6e74; }
QToolTip { color: #ececec; background: #3a3d42; border: 1px solid #c7812d; }
)");
    return skin;
}

// White on black with yellow selection and white outlines. The classic Windows style draws
// button outlines from the palette's light and shadow roles, so every button keeps a visible
// edge; Fusion would draw them from the black window colour.
TSkin HighContrast()
{
    TSkin skin;
    skin.name = QStringLiteral("High Contrast (internal)");
    skin.style = StyleKey("Windows");
    skin.palette = MakePalette(
        {{Role::Window, "#000000"}, {Role::WindowText, "#ffffff"}, {Role::Base, "#000000"},
         {Role::AlternateBase, "#1a1a1a"}, {Role::ToolTipBase, "#000000"},
         {Role::ToolTipText, "#ffff00"}, {Role::PlaceholderText, "#c0c0c0"},
         {Role::Text, "#ffffff"}, {Role::Button, "#000000"}, {Role::ButtonText, "#ffffff"},
         {Role::BrightText, "#ffff00"}, {Role::Light, "#ffffff"}, {Role::Midlight, "#c0c0c0"},
         {Role::Mid, "#808080"}, {Role::Dark, "#c0c0c0"}, {Role::Shadow, "#ffffff"},
         {Role::Highlight, "#ffff00"}, {Role::HighlightedText, "#000000"},
         {Role::Link, "#00ffff"}, {Role::LinkVisited, "#ff80ff"}},
        {{Role::WindowText, "#a0a0a0"}, {Role::Text, "#a0a0a0"}, {Role::ButtonText, "#a0a0a0"},
         {Role::Highlight, "#808000"}});
    skin.styleSheet = QStringLiteral(R"(
QMenuBar { background: #000000; border-bottom: 2px solid #ffffff; }
QMenuBar::item { background: transparent; color: #ffffff; }
QMenuBar::item:selected { background: #ffff00; color: #000000; }
QStatusBar { background: #000000; border-top: 2px solid #ffffff; }
QStatusBar QLabel { border: 1px solid #ffffff; }
#CoolBar1 { background: #000000; border-bottom: 2px solid #ffffff; }
#CoolBar1 QToolButton, #tsMachVisible, #tsBamboo {
    border: 1px solid #ffffff; color: #ffffff; background: #000000;
}
#CoolBar1 QToolButton:hover, #tsMachVisible:hover, #tsBamboo:hover {
    border: 1px solid #ffff00; color: #ffff00;
}
#CoolBar1 QToolButton:pressed, #tsMachVisible:pressed, #tsBamboo:pressed {
    background: #ffff00; color: #000000;
}
#CoolBar1 QToolButton:disabled, #tsMachVisible:disabled, #tsBamboo:disabled {
    border: 1px dotted #a0a0a0; color: #a0a0a0;
}
QToolTip { color: #ffff00; background: #000000; border: 1px solid #ffff00; }
)");
    return skin;
}

TSkin Native(const TNativeLook& native)
{
    TSkin skin;
    skin.name = QStringLiteral("Native (internal)");
    skin.style = native.style;
    skin.palette = native.palette;
    return skin;
}

}  // namespace

QList<TSkin> BuiltInSkins(const TNativeLook& native)
{
    QList<TSkin> skins{GrayPlastic(), DarkShop(), HighContrast(), Native(native)};
    for (TSkin& skin : skins)
        skin.internal = true;
    return skins;
}
