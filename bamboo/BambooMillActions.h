#pragma once

#include <QString>

#include <memory>
#include <optional>

class IMyScriptObject;
class TCMach4Wrapper;
struct PlatformServices;

// The values of the bamboo milling window that its actions read and write, by role.
enum class BambooField {
    PlatenLength,      // "&Length to Cut"
    PlatenRemove,      // "Remo&ve"
    PlatenPass,        // "Pass &Cut"
    PlatenFinal,       // "Final Pa&ss" of the Platen tab
    StdHeight,         // "Std Height"
    StartHeight,       // "Start &Height"
    FinalDepth,        // "Final &Depth"
    TestLength,        // "&Length To Cut"
    TestPass,          // "Pass C&ut"
    TestFinal,         // "Final Pa&ss" of the Height tab
    Actual,            // "&Actual"
    YOffset,           // "Y Offset"
    BitDia,            // "Bit Dia"
    XOffset,           // "X &Offset"
    MortiseLength,     // "&Length" of the Reel Seats tab
    MortiseDepth,      // "&Depth"
    MortisePass,       // "P&ass Depth"
    MortiseFinal,      // "Final Pa&ss" of the Reel Seats tab
};

enum class BambooCheck {
    InstallPlaten,     // "&Install platten"
    StraightBit,       // "Install Straight &Bit"
    JogBeginX,         // "Jog to Begin &X"
    JogBeginZ,         // "Jog to Begin &Z"
    StraddleStandard,  // "Straddle Standard"
    PositionStandard,  // "Position Standard"
    JogZToStandard,    // "Jog Z to Standard"
    JogToStart,        // "&Jog To Start"
    SplineJogBegin,    // "Jog to begin X Pos"
    SeatStraddle,      // "&Straddle Standard"
    SeatJogToXStart,   // "Jog To &X Start"
    UseYOffset,        // "Use  Y Offset"
};

enum class BambooFeed { Feed, Rapid, Plunge };

// What the actions need of their window. The window implements it over its controls; tests
// implement it over plain values.
class IBambooMillForm
{
public:
    virtual ~IBambooMillForm() = default;

    virtual double FieldValue(BambooField field) const = 0;
    // Sets a field as the window does (clamped to its bounds, shown in its format) and
    // returns the value the field then holds.
    virtual double SetFieldValue(BambooField field, double value) = 0;
    virtual bool Ticked(BambooCheck check) const = 0;
    virtual int FeedValue(BambooFeed feed) const = 0;
    // "Set &Z to Actual" enabled or disabled, and the "&Actual" field editable with it.
    virtual void SetActualEnabled(bool enabled) = 0;
    // A program was written to `path` and is about to be loaded; `stockTop` is the Z of the
    // material's top the program starts from.
    virtual void ProgramWritten(const QString& path, double stockTop) = 0;
    // An action started (true) or ended (false): one action runs at a time.
    virtual void SetBusy(bool busy) = 0;
};

// The steps of bamboo rod milling: each operation drives the host through the host
// connection (OEM buttons, G-code lines, DROs, probe contacts) or has a program generator
// write a file that the host then loads. Plain logic over the host connection, the script
// object and the platform's waiter and message boxes; no widget.
//
// Refusals (an unticked checklist, a pass depth of 0 or less, the Z DRO not above the start
// height) show a message box and send nothing further. A host or file failure raises a
// ZentyrError and ends the operation at that call.
//
// Waiting for motion asks IsMoving; while the host moves it pauses 150 ms processing window
// events, then reads Stopped. Stopped, or the operator's Stop (StopRequested) since the
// operation began, halts it: "Probing Halted" goes to the status line and log and the
// operation ends at once. Every pause processes window events, so the program stays live; one
// operation runs at a time and a call made while one runs is ignored. When the window that
// owns this object is destroyed during a pause, the operation ends without touching anything
// more. UI thread only.
class TBambooMillActions final
{
public:
    static constexpr int MotionPauseMs = 150;
    static constexpr int ProbeSettleMs = 250;
    static constexpr int CloseFileSettleMs = 200;

    // `wMach` must outlive this object. `iMach` may be empty (the host was not connected):
    // the operations then fail with "IMach not Set".
    TBambooMillActions(TCMach4Wrapper& wMach, std::shared_ptr<IMyScriptObject> iMach,
                       PlatformServices& platform, IBambooMillForm& form);
    ~TBambooMillActions();
    TBambooMillActions(const TBambooMillActions&) = delete;
    TBambooMillActions& operator=(const TBambooMillActions&) = delete;

    bool Busy() const { return m_busy; }

    // ---- The window's operations ----
    void SafeZ();
    void CutPlaten();
    void Probe();
    void ResetZToStandard();
    void JogToStartToggled();
    void CutTestHeight();
    void SetZToActual();
    void SetXToZero();
    void ProbeSeat();
    void ZeroZ();
    void PostMortise();
    void RemoveAnotherThousandth();
    void GoOnline();

    // ---- The programs' files ----
    QString PlatenPath() const;
    QString TestHeightPath() const;
    QString MortisePath() const;

    // ---- Probing routines (they wait for motion; run them inside an operation) ----
    // Probes toward +Y and -Y from where the probe stands and centres between the contacts;
    // the centred Y DRO, or nothing when a wait was halted.
    std::optional<double> ProbeYCentre();
    // Probes down; the Z contact, or nothing when a wait was halted.
    std::optional<double> ProbeZ();
    // True when motion ended, false when it was halted.
    bool WaitForMotion();

private:
    class Operation;
    struct Abandoned
    {
    };

    template <typename Step>
    void Run(Step&& step);
    void Pause(int ms);
    IMyScriptObject& Mach() const;
    bool Refuse(bool refused, const QString& text, bool warning);
    bool RefusePassDepth(BambooField field, const QString& name);
    double Field(BambooField field) const;
    double Feed(BambooFeed feed) const;
    void Generated(const QString& path, double stockTop);
    void LoadProgram(const QString& path);
    QString InGCodeFolder(const QString& name) const;
    void MortiseFile(double depth, double pass, double finalPass, double cutFeed,
                     double plungeFeed, double rapidFeed);

    TCMach4Wrapper& m_wMach;
    std::shared_ptr<IMyScriptObject> m_iMach;
    PlatformServices& m_platform;
    IBambooMillForm& m_form;
    // Expires with this object, so a pause can tell that its owner went during the pause.
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
    bool m_busy = false;
};
