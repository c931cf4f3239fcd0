#pragma once

#include <QObject>

#include <array>

class IMessageBoxes;
class QAction;
class QWidget;

// Makes a whole window larger or smaller in fixed steps and restores a stored size.
//
// Scaling a window by M/D keeps its top-left position and multiplies its client size, the
// position and size of each child control that no layout places, the size limits of every
// control, layout margins and spacing, button icon sizes and every font size that is set on a
// control (the rest inherit it) by M/D, each rounded to whole pixels or whole font sizes.
// Controls inside Qt's own composite widgets (spin boxes, combo boxes, scroll areas, menu bars,
// tab bars, splitters) are placed by those widgets and only get their fonts scaled.
//
// `Scalefactor` counts the percent points applied, in steps of `incrementAmount`; 0 is the
// designed size. Each step rounds, so steps are undone one by one, never jumped over. The
// number of steps is bounded (MaxEnlargeSteps, MaxReduceSteps): a step beyond the bound does
// nothing, and Set Scalefactor stops at it, so a damaged stored value cannot hang the program
// or shrink controls to a few pixels from which rounding can never bring them back.
//
// The owner (the QObject parent) must be a window; a step with any other owner raises a
// ZentyrError. The three commands' actions are added to the owning window so that their
// shortcuts work whether the menu holding them is shown or hidden. A command started from an
// action runs as an operator action: its error is emitted as CommandFailed and, when message
// boxes were given, shown in the standard error box; it never reaches the event loop. UI
// thread only.
class TScalar final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TScalar)

public:
    static constexpr int MaxEnlargeSteps = 20;
    static constexpr int MaxReduceSteps = 10;
    static constexpr int MaxIncrementAmount = 1000;

    // `messageBoxes` may be null; when given it must outlive this object.
    explicit TScalar(QObject* owner, IMessageBoxes* messageBoxes = nullptr);
    ~TScalar() override;

    int Scalefactor() const { return m_scalefactor; }
    // Reaches the stored size `value` from the designed size: 0 does nothing (the current
    // size stays); otherwise Reset, then Enlarge (positive) or Reduce (negative) until the
    // first multiple of incrementAmount at or beyond `value`, counted away from zero.
    void SetScalefactor(int value);

    int incrementAmount() const { return m_incrementAmount; }
    // Raises a ZentyrError outside 1 to MaxIncrementAmount.
    void SetIncrementAmount(int amount);

    // Scale by (incrementAmount + 100)/100; Scalefactor grows by incrementAmount.
    void Enlarge();
    // Scale by 100/(incrementAmount + 100); Scalefactor shrinks by incrementAmount.
    void Reduce();
    // Back to the designed size step by step, with the window hidden meanwhile; it ends as
    // visible as it was.
    void Reset();

    // "Enlarge" (Ctrl+Alt+F12), "Reduce" (Ctrl+Alt+F11), "Reset" (Ctrl+Alt+=).
    QAction* EnlargeAction() const { return m_actions[0]; }
    QAction* ReduceAction() const { return m_actions[1]; }
    QAction* ResetAction() const { return m_actions[2]; }
    QList<QAction*> Actions() const;

Q_SIGNALS:
    void CommandFailed(const QString& message);

private:
    QWidget* Window() const;
    bool Step(int multiplier, int divisor, int delta);
    void RunCommand(void (TScalar::*command)());

    IMessageBoxes* m_messageBoxes;
    int m_scalefactor = 0;
    int m_incrementAmount = 8;
    std::array<QAction*, 3> m_actions{};
};
