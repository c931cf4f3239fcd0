#include "controls/MachButtonTypeDlg.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int DialogWidth = 305;
constexpr int DialogHeight = 127;
constexpr int FieldWidth = 208;
constexpr int PanelHeight = 31;

QLabel* BoxedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMargin(2);
    return label;
}

// A strip of the dialog: a boxed label and its field, side by side.
QWidget* FieldPanel(QWidget* parent, QLabel* label, QWidget* field)
{
    auto* panel = new QWidget(parent);
    panel->setFixedHeight(PanelHeight);
    label->setParent(panel);
    field->setParent(panel);
    field->setFixedWidth(FieldWidth);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(label, 1);
    row->addWidget(field);
    return panel;
}

// Selects the item whose text is `name`, exactly.
void SelectName(QComboBox& box, const QString& name)
{
    box.setCurrentIndex(box.findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

}  // namespace

TBtnTypeDlg::TBtnTypeDlg(QWidget* owner) : QDialog(owner)
{
    m_sLabel1 = BoxedLabel(QStringLiteral("Button Type"), this);
    m_cbBtnType = new QComboBox(this);
    m_pnlBtnType = FieldPanel(this, m_sLabel1, m_cbBtnType);

    m_cbLEDtype = new QComboBox(this);
    m_cbLEDtype->setEditable(true);
    // Typed text stays text: it never becomes a list item.
    m_cbLEDtype->setInsertPolicy(QComboBox::NoInsert);
    m_pnlLEDtype = FieldPanel(this, BoxedLabel(QStringLiteral("Led Type"), this), m_cbLEDtype);

    m_eCaption = new QLineEdit(this);
    m_pnlBtnCaption =
        FieldPanel(this, BoxedLabel(QStringLiteral("Button Caption"), this), m_eCaption);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_ok);
    buttonRow->addWidget(m_cancel);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 4, 4);
    column->setSpacing(0);
    column->addWidget(m_pnlBtnType);
    column->addWidget(m_pnlLEDtype);
    column->addWidget(m_pnlBtnCaption);
    column->addStretch();
    column->addLayout(buttonRow);

    // 305 by 127 where the content fits; a wider dialog font widens it rather than pushing the
    // fields past the dialog's fixed edge.
    const QSize needed = minimumSizeHint();
    setFixedSize(std::max(DialogWidth, needed.width()), std::max(DialogHeight, needed.height()));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    ShowButtonTypePanel();
}

TBtnTypeDlg::~TBtnTypeDlg() = default;

void TBtnTypeDlg::ShowButtonTypePanel()
{
    m_pnlLEDtype->hide();
    m_pnlBtnType->show();
}

void TBtnTypeDlg::ShowLEDTypePanel()
{
    m_pnlBtnType->hide();
    m_pnlLEDtype->show();
}

QStringList TBtnTypeDlg::SortedNames(QStringList names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

void TBtnTypeDlg::FillButtonTypes(TmcOEMButtontype current)
{
    m_cbBtnType->clear();
    m_cbBtnType->addItems(SortedNames(OEMButtonNames()));
    SelectName(*m_cbBtnType, OEMButtonName(current));
}

std::optional<TmcOEMButtontype> TBtnTypeDlg::SelectedButtonType() const
{
    if (m_cbBtnType->currentIndex() < 0)
        return std::nullopt;
    return OEMButtonKindOfName(m_cbBtnType->currentText());
}

void TBtnTypeDlg::FillLEDTypes(TmcOEMLEDtype current)
{
    m_cbLEDtype->clear();
    m_cbLEDtype->addItems(SortedNames(OEMLEDNames()));
    SelectName(*m_cbLEDtype, OEMLEDName(current));
}

std::optional<TmcOEMLEDtype> TBtnTypeDlg::SelectedLEDType() const
{
    const QString text = m_cbLEDtype->currentText();
    if (m_cbLEDtype->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        return std::nullopt;
    return OEMLEDKindOfName(text);
}
