#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;
class THyperLabel;
struct PlatformServices;

// The About box: the program's name, version, a rights notice, a contact address, what the
// program is and is not, and a link to the web site of the controller's maker. Its texts are
// fixed. Created once at program start and shown modally from the "About" menu item; OK (the
// default button) closes it with the result OK.
class TMachAboutDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachAboutDlg)

public:
    static const QString ContactAddress;
    static const QString MakerWebAddress;

    // `platform` must outlive the dialog (the link opens through its shell).
    explicit TMachAboutDlg(PlatformServices& platform, QWidget* parent = nullptr);
    ~TMachAboutDlg() override;

    // The program's icon picture (also the windows' icon).
    static QPixmap ProgramIconPicture();

    QLabel* ProgramIcon() const { return m_programIcon; }
    QLabel* ProductName() const { return m_productName; }
    QLabel* Version() const { return m_version; }
    QLabel* Copyright() const { return m_copyright; }
    QLabel* email() const { return m_email; }
    QLabel* Comments() const { return m_comments; }
    THyperLabel* HyperLabel1() const { return m_hyperLabel; }
    QPushButton* OKButton() const { return m_okButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_programIcon;
    QLabel* m_productName;
    QLabel* m_version;
    QLabel* m_copyright;
    QLabel* m_email;
    QLabel* m_comments;
    THyperLabel* m_hyperLabel;
    QPushButton* m_okButton;
};
