#pragma once

#include "host/MachConstants.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Edits the caption and the OEM kind of a button: the OEM button kind (pick-only list) or the
// OEM LED kind (a list with an editable text). Exactly one of the two type panels is shown,
// at the top. The lists hold every display name of their enumeration, sorted alphabetically
// without regard to case, and a chosen name maps back to the first kind with exactly that
// name. The calling button fills and reads the controls.
class TBtnTypeDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBtnTypeDlg)

public:
    explicit TBtnTypeDlg(QWidget* owner = nullptr);
    ~TBtnTypeDlg() override;

    void ShowButtonTypePanel();
    void ShowLEDTypePanel();

    // Fills cbBtnType with all OEM button names and selects the name of `current`.
    void FillButtonTypes(TmcOEMButtontype current);
    // The kind of the selected list item; none when nothing is selected.
    std::optional<TmcOEMButtontype> SelectedButtonType() const;

    // Fills cbLEDtype with all OEM LED names and selects the name of `current`.
    void FillLEDTypes(TmcOEMLEDtype current);
    // The kind of the list item the text names exactly; none for text that names no item
    // (typed text that selects nothing leaves the kind as it was).
    std::optional<TmcOEMLEDtype> SelectedLEDType() const;

    QWidget* pnlBtnType() const { return m_pnlBtnType; }
    QWidget* pnlLEDtype() const { return m_pnlLEDtype; }
    QWidget* pnlBtnCaption() const { return m_pnlBtnCaption; }
    QLabel* sLabel1() const { return m_sLabel1; }
    QComboBox* cbBtnType() const { return m_cbBtnType; }
    QComboBox* cbLEDtype() const { return m_cbLEDtype; }
    QLineEdit* eCaption() const { return m_eCaption; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    // Display names sorted as the lists show them: alphabetical, case ignored.
    static QStringList SortedNames(QStringList names);

private:
    QWidget* m_pnlBtnType;
    QWidget* m_pnlLEDtype;
    QWidget* m_pnlBtnCaption;
    QLabel* m_sLabel1;
    QComboBox* m_cbBtnType;
    QComboBox* m_cbLEDtype;
    QLineEdit* m_eCaption;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
