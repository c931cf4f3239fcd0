#pragma once

#include "windows/UserLayoutForm.h"

class QToolButton;
class tMachButton;
enum class TCodeButtonKind;

// "User Buttons": the operator's column of G-code, script and OEM buttons, kept in code button
// layout files (".cbl"). The buttons are the ordinary host buttons; this window creates,
// orders, deletes, saves and reloads them. A new button is captioned after its kind and the
// number of buttons, gets the script object, is registered with the update thread and takes
// this window's focus (so Up, Down and Delete act on it). Right-clicking a button edits it.
class TUserCodeButtonsForm final : public TUserLayoutForm
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TUserCodeButtonsForm)

public:
    static const QString DesktopSection;

    explicit TUserCodeButtonsForm(PlatformServices& platform, QWidget* parent = nullptr);
    ~TUserCodeButtonsForm() override;

    // Handed to every new script button.
    QString MacroFolder() const { return m_macroFolder; }
    void SetMacroFolder(const QString& folder) { m_macroFolder = folder; }

    int ButtonCount() const;
    tMachButton* Button(int index) const;

    // The add commands: the new button, or null without a script object.
    tMachButton* AddButton(TCodeButtonKind kind);

    void ReadLayoutFile(const QString& path) override;

    QToolButton* btnGCode() const { return m_btnGCode; }
    QToolButton* btnVB() const { return m_btnVB; }
    QToolButton* btnOEM() const { return m_btnOEM; }
    QToolButton* btnUser() const { return m_btnUser; }
    QToolButton* btnUp() const { return m_btnUp; }
    QToolButton* btnDown() const { return m_btnDown; }
    QToolButton* btnDelete() const { return m_btnDelete; }

protected:
    QByteArray FormatLayout() const override;

private:
    QString m_macroFolder;
    QToolButton* m_btnGCode;
    QToolButton* m_btnVB;
    QToolButton* m_btnOEM;
    QToolButton* m_btnUser;
    QToolButton* m_btnUp;
    QToolButton* m_btnDown;
    QToolButton* m_btnDelete;
};
