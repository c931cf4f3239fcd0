#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QWidget;

// Edits the caption and text of a code button (mode 0, "G Code"), a script button (mode 1,
// "VB Script") or a user button (mode 2, with the host button number). The caller sets the
// window title, the texts and the mode, runs the dialog and reads the fields back on OK.
// When the dialog is shown the caption field has the focus with its whole text selected.
class TMachCodeDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachCodeDialog)

public:
    enum Mode : int { CodeButtonMode = 0, ScriptButtonMode = 1, UserButtonMode = 2 };

    // Centred on `owner`'s window when it has one.
    explicit TMachCodeDialog(QWidget* owner = nullptr);
    ~TMachCodeDialog() override;

    int DialogMode() const { return m_mode; }
    // Brings the mode's panel to the front; a mode other than 0, 1 or 2 raises a ZentyrError.
    void SetMode(int mode);

    QString CaptionText() const;
    void SetCaptionText(const QString& caption);
    // The text of the current mode's code memo. Setting it fills both memos, so the text may
    // be set before or after the mode.
    QString CodeText() const;
    void SetCodeText(const QString& code);
    // The whole number in the button number field; an empty field counts as 0. Text that is
    // not a 32-bit whole number raises a ZentyrError.
    int ButtonNumber() const;

    QLineEdit* eCaption() const { return m_eCaption; }
    QLineEdit* eBtnNumber() const { return m_eBtnNumber; }
    QLabel* sLabel1() const { return m_sLabel1; }
    QPlainTextEdit* sMemo1() const { return m_sMemo1; }
    QPlainTextEdit* sMemo2() const { return m_sMemo2; }
    QWidget* pnlCodeBtn() const { return m_pnlCodeBtn; }
    QWidget* pnlUserBtn() const { return m_pnlUserBtn; }
    QWidget* pnlToggleBtn() const { return m_pnlToggleBtn; }
    // The panel at the front.
    QWidget* FrontPanel() const;
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* CodeMemo() const;

    QLineEdit* m_eCaption;
    QStackedWidget* m_panels;
    QWidget* m_pnlCodeBtn;
    QLabel* m_sLabel1;
    QPlainTextEdit* m_sMemo1;
    QWidget* m_pnlUserBtn;
    QLineEdit* m_eBtnNumber;
    QPlainTextEdit* m_sMemo2;
    QWidget* m_pnlToggleBtn;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    int m_mode = CodeButtonMode;
};
