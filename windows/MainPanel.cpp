#include "windows/MainPanel.h"

#include "windows/LayoutStorage.h"

TMainPanel::TMainPanel(TCMach4Wrapper* wMach, PlatformServices& platform, QWidget* parent)
    : QWidget(parent), m_wMach(wMach), m_platform(platform)
{
    setFixedSize(PanelWidth, PanelHeight);
}

void TMainPanel::ReadCodeButtons(TLayoutStorage&) {}
void TMainPanel::WriteCodeButtons(TLayoutStorage&) {}
void TMainPanel::FocusEstop() {}
