#pragma once

#include "windows/SkinManager.h"

#include <QDialog>
#include <QPointer>

class QListWidget;
class QListWidgetItem;
class QPushButton;

// The skin chooser. The main window hands it its skin manager before each showing. Each time
// the dialog becomes the active window it remembers the manager's current skin as the one to
// apply on closing and refills its list with the skins the manager offers, the current one
// selected. A click on an entry (or moving to it with the keys) applies that skin at once as a
// preview; OK makes the selected skin the one to apply. Whatever closes the dialog (OK,
// Cancel, the close box, Escape), the manager's skin is then set to the one to apply: after
// Cancel the skin of the last activation comes back, after OK the chosen one stays.
//
// OK, or a click, with no entry selected does nothing. Created once at program start; each
// showing reuses it and keeps nothing from the last one but its list.
class TSkinDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSkinDlg)

public:
    explicit TSkinDlg(QWidget* parent = nullptr);
    ~TSkinDlg() override;

    TSkinManager* sSkinManager() const { return m_manager; }
    void SetSkinManager(TSkinManager* manager) { m_manager = manager; }

    // The skin name applied when the dialog closes.
    QString SkinToApply() const { return m_skinToApply; }

    QListWidget* lb() const { return m_lb; }
    QPushButton* sBitBtn1() const { return m_ok; }
    QPushButton* sBitBtn2() const { return m_cancel; }

    // The activation step: remember the current skin, refill the list, select the current one.
    void FormActivate();
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void lbClick(QListWidgetItem* item);
    void sBitBtn1Click();

    QPointer<TSkinManager> m_manager;
    QListWidget* m_lb;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QString m_skinToApply;
    bool m_filling = false;
};
