#pragma once

class QCheckBox;
class QPushButton;
class QTabWidget;
class QWidget;
class TDROspeed;
class TInchEdit;
struct PlatformServices;

// The controls of the bamboo milling window, by their names. The window owns them (through
// its widgets); this is a table of pointers.
struct TBambooMillControls
{
    QTabWidget* tabs = nullptr;

    // Platen
    QPushButton* btnSafeZ = nullptr;
    QCheckBox* ckPlaten = nullptr;
    QCheckBox* ckStraight = nullptr;
    QCheckBox* ckjogPosX = nullptr;
    QCheckBox* ckJogBgnZ = nullptr;
    TInchEdit* eLength = nullptr;
    TInchEdit* edepth = nullptr;
    TInchEdit* ePass = nullptr;
    TInchEdit* efinal = nullptr;
    QPushButton* btnCutPlaten = nullptr;

    // Probe
    QPushButton* btnProbeSafeZ = nullptr;
    QCheckBox* ckInstallSplineBit = nullptr;
    QCheckBox* ckjogStraddle = nullptr;
    QCheckBox* ckPosStandard = nullptr;
    QCheckBox* ckjogZstd = nullptr;
    QPushButton* btnProbe = nullptr;
    TInchEdit* eStdHeight = nullptr;
    QPushButton* btnResetZ2Std = nullptr;
    QCheckBox* ckUnplug = nullptr;
    QPushButton* JvBitBtn4 = nullptr;

    // Height
    QCheckBox* ckJogToStart = nullptr;
    TInchEdit* eTgtHght = nullptr;
    TInchEdit* eFnlDpth = nullptr;
    TInchEdit* eLen = nullptr;
    TInchEdit* epassCut = nullptr;
    TInchEdit* eFnlPss = nullptr;
    QPushButton* btnCut = nullptr;
    TInchEdit* eVariance = nullptr;
    QPushButton* btnVariance = nullptr;

    // Splines
    QCheckBox* ckInstall = nullptr;
    QCheckBox* ckJogBegin = nullptr;
    QCheckBox* JvCheckBox1 = nullptr;
    QCheckBox* ckMarkPlaten = nullptr;
    QPushButton* JvBitBtn8 = nullptr;
    QPushButton* JvBitBtn1 = nullptr;
    QPushButton* JvBitBtn2 = nullptr;
    QPushButton* JvBitBtn9 = nullptr;

    // Reel Seats
    QCheckBox* ckStrdlStd = nullptr;
    QCheckBox* ckJogX = nullptr;
    QPushButton* btnProbeSeatStd = nullptr;
    TInchEdit* eOffset = nullptr;
    QCheckBox* ckInstallStd = nullptr;
    QCheckBox* ckJogZ = nullptr;
    QPushButton* btnZeroZ = nullptr;
    TInchEdit* eBitDia = nullptr;
    TInchEdit* eXoffset = nullptr;
    TInchEdit* eCutLength = nullptr;
    TInchEdit* eMortiseDepth = nullptr;
    QCheckBox* ckUseYoff = nullptr;
    TInchEdit* ePassDepth = nullptr;
    TInchEdit* eFinalPass = nullptr;
    QPushButton* btnCutMortise = nullptr;
    QPushButton* btnAnotherThou = nullptr;

    // Feed frames (local, DRO number 0)
    TDROspeed* spdFeed = nullptr;
    TDROspeed* spdRapid = nullptr;
    TDROspeed* spdPlunge = nullptr;
};

// Builds the seven tabs into `tabs` ("Height" shown first) and the three feed frames into
// `feedPanel`, with their captions, start values and bounds. Nothing is wired: the window
// connects the buttons to its actions.
TBambooMillControls BuildBambooMillControls(QTabWidget* tabs, QWidget* feedPanel,
                                            PlatformServices& platform);
