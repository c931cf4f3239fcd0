#pragma once

#include "controls/MachButtonBase.h"
#include "controls/MachButtonCodeRun.h"
#include "controls/MachHostBinding.h"
#include "host/MachConstants.h"

#include <QColor>

#include <functional>
#include <memory>

class IMyScriptObject;
class TMachCodeDialog;
class TMachUpdateThread;

// The host push buttons. Each holds the host script object `iMach`: assigning one enables the
// button, assigning none disables it, and a button without one makes no host call. Window
// binding hands the script object over and registers the button; each poll pass then enables
// it while the host is out of reset and disables it while the host is in reset.
class tMachButton : public TSkinnedButton, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachButton)

public:
    explicit tMachButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachButton() override;

    // Stored flag; no behaviour depends on it.
    bool Locked() const { return m_locked; }
    void SetLocked(bool locked) { m_locked = locked; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

private:
    bool m_locked = false;
};

// A host button that carries a text for the host (G-code, a script, a user button's text).
// Right-click opens the code dialog in the button's mode with its caption and text; when it is
// accepted, ReadFunctionDialog reads what else the mode shows, then the text and the caption
// are taken. An error from ReadFunctionDialog leaves the button unchanged.
class TMachCodeTextButton : public tMachButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachCodeTextButton)

public:
    ~TMachCodeTextButton() override;

    QString code() const { return m_code; }
    void SetCode(const QString& code) { m_code = code; }

protected:
    // `dialogMode` is a TMachCodeDialog mode.
    TMachCodeTextButton(PlatformServices& platform, QWidget* parent, const QString& dialogTitle,
                        int dialogMode);

    bool HasFunctionDialog() const override { return true; }
    void EditFunction() override;
    // Reads the dialog's fields beyond caption and text; the default reads none.
    virtual void ReadFunctionDialog(const TMachCodeDialog& dialog);

private:
    QString m_code;
    QString m_dialogTitle;
    int m_dialogMode;
};

// Runs its G-code text line by line (see RunMachCode). The click event is never raised.
// Right-click edits caption and code.
class tMachCodeButton : public TMachCodeTextButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachCodeButton)

public:
    explicit tMachCodeButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachCodeButton() override;

protected:
    void Click() override;
};

// Runs its script text as the host macro M6666: the macro file is written whole into
// MacroFolder, then after 100 ms Code("M6666") has the host run it; nothing waits for the
// macro. When the file cannot be written the error is reported and the host is not asked.
// The click event is never raised. Right-click edits caption and code.
class tMachVBScriptButton final : public TMachCodeTextButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachVBScriptButton)

public:
    explicit tMachVBScriptButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachVBScriptButton() override;

    // The host's macro folder without a trailing separator (see MachMacroFolder); set by the
    // window that creates the button.
    QString MacroFolder() const { return m_macroFolder; }
    void SetMacroFolder(const QString& folder) { m_macroFolder = folder; }

protected:
    void Click() override;

private:
    QString m_macroFolder;
};

// Hands the host its button text, then runs the host's user button UserBtnNum. A number
// outside the 16-bit range is refused before anything is sent. The click event is never
// raised. Right-click edits caption, code and number.
class tMachUserButton final : public TMachCodeTextButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachUserButton)

public:
    explicit tMachUserButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachUserButton() override;

    int UserBtnNum() const { return m_userBtnNum; }
    void SetUserBtnNum(int number) { m_userBtnNum = number; }

protected:
    void Click() override;
    // The host button number; a number that is not one raises and changes nothing.
    void ReadFunctionDialog(const TMachCodeDialog& dialog) override;

private:
    int m_userBtnNum = 0;
};

// Presses one OEM button: DoOEMButton(code), also for obtNONE (code 0). Every click, bound or
// not, then sets StopRequested for obtStop and clears it for any other kind, and raises the
// click event last. Right-click edits caption and kind. The jog direction button derives
// from it and replaces the right-click behaviour with its own.
//
// A window whose button must not press before something else is done (a program saved and
// loaded before cycle start) sets a press condition: it runs first in every bound click, and
// when it returns false (or raises) the click ends there: no press, no change of
// StopRequested, no click event. The condition may wait with events processed; a button
// destroyed meanwhile ends the click without touching anything.
class tMachOEMButton : public tMachButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachOEMButton)

public:
    explicit tMachOEMButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachOEMButton() override;

    TmcOEMButtontype OEMbutton() const { return m_kind; }
    // Stores the kind and its host code; a kind outside the table raises and changes nothing.
    void SetOEMbutton(TmcOEMButtontype kind);
    int ButtonCode() const { return m_code; }

    void SetPressCondition(std::function<bool()> condition)
    {
        m_pressCondition = std::move(condition);
    }

protected:
    void Click() override;
    bool HasFunctionDialog() const override { return true; }
    void EditFunction() override;

private:
    std::function<bool()> m_pressCondition;
    TmcOEMButtontype m_kind = obtNONE;
    int m_code = 0;
};

// The E-stop / reset button. Its face follows `resetState`: the reset face ("R&eset", silver)
// while the host is in reset, the E-stop face ("&Estop", red) while it runs. A click presses
// Reset (1021), reads the reset LED into `resetState` and raises the click event; unbound it
// does nothing at all. Poll passes set `resetState` and never disable it. Both faces, with
// black text, show under every skin of the application.
class tMachESTOPButton final : public TSkinnedButton,
                               public TMachHostBinding,
                               public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(tMachESTOPButton)

public:
    static const QColor ResetColor;
    static const QColor EstopColor;

    explicit tMachESTOPButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~tMachESTOPButton() override;

    bool resetState() const { return m_resetState; }
    // Applies the face only when the value changes.
    void SetResetState(bool inReset);
    // The colour the current face asks for.
    QColor FaceColor() const { return m_faceColor; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    void Click() override;

private:
    void ApplyFace();

    QColor m_faceColor;
    bool m_resetState = true;
};
