#include "windows/ZentyrAbout.h"

#include "windows/HyperLabel.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int ClientWidth = 298;
constexpr int ClientHeight = 213;

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    label->setAccessibleName(text.trimmed());
    return label;
}

// Places a window in the middle of the screen it is on (or the primary screen).
void CentreOnScreen(QWidget& window)
{
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace

const QString TMachAboutDlg::ContactAddress = QStringLiteral("zentyr@example.org");
const QString TMachAboutDlg::MakerWebAddress = QStringLiteral("http://www.machsupport.com");

TMachAboutDlg::TMachAboutDlg(PlatformServices& platform, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("MachAboutDlg"));
    setWindowTitle(QStringLiteral("About Zentyr"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);
    setFixedSize(ClientWidth, ClientHeight);

    // The bevelled panel: a lowered outer edge around a raised inner one.
    auto* outer = new QFrame(this);
    outer->setObjectName(QStringLiteral("Panel1"));
    outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    outer->setGeometry(8, 8, 281, 161);
    auto* panel = new QFrame(outer);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(1, 1, 279, 159);

    m_programIcon = new QLabel(panel);
    m_programIcon->setObjectName(QStringLiteral("ProgramIcon"));
    m_programIcon->setAccessibleName(QStringLiteral("ProgramIcon"));
    m_programIcon->setGeometry(8, 8, 65, 57);
    m_programIcon->setScaledContents(true);
    m_programIcon->setPixmap(ProgramIconPicture());

    m_productName = AddLabel(panel, QStringLiteral("ProductName"), QStringLiteral("Zentyr"), 88, 10);
    m_version = AddLabel(panel, QStringLiteral("Version"), QStringLiteral("Version 1.0 Beta"), 88, 26);
    m_copyright = AddLabel(panel, QStringLiteral("Copyright"),
                           QStringLiteral("(C) The Zentyr developers"), 88, 42);
    QLabel* emailCaption = AddLabel(panel, QStringLiteral("Label2"), QStringLiteral("Email:"), 88, 58);
    m_email = AddLabel(panel, QStringLiteral("email"), ContactAddress,
                       emailCaption->geometry().right() + 5, 58);

    m_comments = new QLabel(QStringLiteral("Application to Extend Mach3 User Interface.\n"
                                           "Not a product of or affiliated or supported by \n"
                                           "Mach3 or Artsoft or their affiliates."),
                            panel);
    m_comments->setObjectName(QStringLiteral("Comments"));
    m_comments->setAccessibleName(QStringLiteral("Comments"));
    m_comments->setTextFormat(Qt::PlainText);
    m_comments->setWordWrap(true);
    m_comments->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_comments->setGeometry(8, 74, 265, 41);

    QLabel* webCaption = AddLabel(panel, QStringLiteral("Label1"),
                                  QStringLiteral("Mach3 Web Site: "), 8, 136);
    m_hyperLabel = new THyperLabel(MakerWebAddress, platform, panel);
    m_hyperLabel->setObjectName(QStringLiteral("HyperLabel1"));
    m_hyperLabel->setAccessibleName(MakerWebAddress);
    m_hyperLabel->move(webCaption->geometry().right() + 1, 136);
    m_hyperLabel->adjustSize();

    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("OKButton"));
    m_okButton->setAccessibleName(QStringLiteral("OK"));
    m_okButton->setGeometry(111, 180, 75, 25);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
}

TMachAboutDlg::~TMachAboutDlg() = default;

QPixmap TMachAboutDlg::ProgramIconPicture()
{
    // The picture is compiled into this library, which the linker would otherwise leave out.
    Q_INIT_RESOURCE(Zentyr);
    return QPixmap(QStringLiteral(":/zentyr/zentyr.png"));
}

void TMachAboutDlg::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}
