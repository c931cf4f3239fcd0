#pragma once

#include <QWidget>

class TCMach4Wrapper;
class TLayoutStorage;
struct PlatformServices;

// The operator panel of the main window: axis readouts with ZERO and REF, the Feed and Rapid
// frames, the MDI line and the machine buttons. Its host-bound controls are bound with the
// main window.
class TMainPanel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMainPanel)

public:
    static constexpr int PanelWidth = 328;
    static constexpr int PanelHeight = 191;

    TMainPanel(TCMach4Wrapper* wMach, PlatformServices& platform, QWidget* parent);

    // The two user code buttons' captions and codes, in the selected (main) section.
    void ReadCodeButtons(TLayoutStorage& store);
    void WriteCodeButtons(TLayoutStorage& store);

    void FocusEstop();

private:
    TCMach4Wrapper* m_wMach;
    PlatformServices& m_platform;
};
