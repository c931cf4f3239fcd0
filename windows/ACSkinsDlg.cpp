#include "windows/ACSkinsDlg.h"

#include "windows/SkinManager.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int DialogWidth = 155;
constexpr int DialogHeight = 230;

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

TSkinDlg::TSkinDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SkinDlg"));
    setWindowTitle(QStringLiteral("Skins"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    resize(DialogWidth, DialogHeight);

    m_lb = new QListWidget(this);
    m_lb->setObjectName(QStringLiteral("lb"));
    m_lb->setAccessibleName(QStringLiteral("lb"));
    m_lb->setSelectionMode(QAbstractItemView::SingleSelection);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setObjectName(QStringLiteral("sBitBtn1"));
    m_ok->setAccessibleName(QStringLiteral("OK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("sBitBtn2"));
    m_cancel->setAccessibleName(QStringLiteral("Cancel"));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(m_lb, 1);
    column->addLayout(buttons);
    for (QPushButton* button : {m_ok, m_cancel})
        button->setMinimumWidth(0);

    connect(m_lb, &QListWidget::itemClicked, this, &TSkinDlg::lbClick);
    connect(m_lb, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* current) {
                if (!m_filling)
                    lbClick(current);
            });
    connect(m_ok, &QPushButton::clicked, this, &TSkinDlg::sBitBtn1Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TSkinDlg::~TSkinDlg() = default;

bool TSkinDlg::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

// A platform that does not activate a shown dialog (a display without a window manager) still
// gets a filled list.
void TSkinDlg::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    FormActivate();
    QDialog::showEvent(event);
}

void TSkinDlg::FormActivate()
{
    if (!m_manager)
        return;
    m_skinToApply = m_manager->SkinName();
    m_filling = true;
    m_lb->clear();
    m_lb->addItems(m_manager->SkinNames());
    const QList<QListWidgetItem*> current = m_lb->findItems(m_skinToApply, Qt::MatchExactly);
    if (current.isEmpty()) {
        m_lb->setCurrentRow(-1);
        m_lb->clearSelection();
    } else {
        m_lb->setCurrentItem(current.first());
    }
    m_filling = false;
}

void TSkinDlg::lbClick(QListWidgetItem* item)
{
    if (!m_manager || !item || !item->isSelected())
        return;
    m_manager->SetSkinName(item->text());
}

void TSkinDlg::sBitBtn1Click()
{
    const QList<QListWidgetItem*> selected = m_lb->selectedItems();
    if (selected.isEmpty())
        return;
    m_skinToApply = selected.first()->text();
    accept();
}

void TSkinDlg::done(int result)
{
    if (m_manager && !m_skinToApply.isEmpty())
        m_manager->SetSkinName(m_skinToApply);
    QDialog::done(result);
}
