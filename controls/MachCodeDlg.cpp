#include "controls/MachCodeDlg.h"

#include "platform/ZentyrError.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// A label drawn in a box, as the dialog's field captions are.
QLabel* BoxedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMargin(2);
    return label;
}

QPushButton* DialogButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFixedSize(75, 25);
    return button;
}

}  // namespace

TMachCodeDialog::TMachCodeDialog(QWidget* owner) : QDialog(owner)
{
    setSizeGripEnabled(true);

    // Top strip: the caption.
    auto* captionStrip = new QWidget(this);
    captionStrip->setFixedHeight(31);
    auto* captionRow = new QHBoxLayout(captionStrip);
    captionRow->setContentsMargins(4, 4, 4, 4);
    captionRow->addWidget(BoxedLabel(QStringLiteral("Button Caption"), captionStrip));
    m_eCaption = new QLineEdit(captionStrip);
    m_eCaption->setFixedWidth(96);
    captionRow->addWidget(m_eCaption);
    captionRow->addStretch();

    // Middle: three panels in one place, one at the front.
    m_panels = new QStackedWidget(this);
    m_panels->setMinimumSize(241, 136);

    m_pnlCodeBtn = new QWidget(m_panels);
    auto* codeColumn = new QVBoxLayout(m_pnlCodeBtn);
    codeColumn->setContentsMargins(6, 4, 6, 4);
    m_sLabel1 = BoxedLabel(QStringLiteral("G Code"), m_pnlCodeBtn);
    codeColumn->addWidget(m_sLabel1, 0, Qt::AlignLeft);
    m_sMemo1 = new QPlainTextEdit(m_pnlCodeBtn);
    m_sMemo1->setMinimumSize(229, 97);
    codeColumn->addWidget(m_sMemo1, 1);

    m_pnlUserBtn = new QWidget(m_panels);
    auto* userColumn = new QVBoxLayout(m_pnlUserBtn);
    userColumn->setContentsMargins(6, 4, 6, 4);
    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(BoxedLabel(QStringLiteral("Button Number"), m_pnlUserBtn));
    m_eBtnNumber = new QLineEdit(m_pnlUserBtn);
    m_eBtnNumber->setFixedWidth(93);
    // Whole numbers only; the range is checked when the button is clicked.
    m_eBtnNumber->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?[0-9]{0,10}")), m_eBtnNumber));
    numberRow->addWidget(m_eBtnNumber);
    numberRow->addStretch();
    userColumn->addLayout(numberRow);
    userColumn->addWidget(BoxedLabel(QStringLiteral("Button Script"), m_pnlUserBtn), 0,
                          Qt::AlignLeft);
    m_sMemo2 = new QPlainTextEdit(m_pnlUserBtn);
    m_sMemo2->setMinimumSize(229, 69);
    userColumn->addWidget(m_sMemo2, 1);

    m_pnlToggleBtn = new QWidget(m_panels);
    auto* toggleColumn = new QVBoxLayout(m_pnlToggleBtn);
    toggleColumn->addWidget(new QLabel(QStringLiteral("Toggle"), m_pnlToggleBtn), 0,
                            Qt::AlignCenter);

    m_panels->addWidget(m_pnlCodeBtn);
    m_panels->addWidget(m_pnlUserBtn);
    m_panels->addWidget(m_pnlToggleBtn);

    // Bottom right: OK and Cancel.
    m_ok = DialogButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = DialogButton(QStringLiteral("Cancel"), this);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttonRow = new QHBoxLayout;
    // The margin belongs to the button row only: the strip and the panels span the whole
    // client width.
    buttonRow->setContentsMargins(0, 4, 4, 4);
    buttonRow->addStretch();
    buttonRow->addWidget(m_ok);
    buttonRow->addWidget(m_cancel);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(captionStrip);
    column->addWidget(m_panels, 1);
    column->addLayout(buttonRow);

    resize(241, 202);
    if (owner && owner->window()) {
        const QRect frame = owner->window()->geometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    SetMode(CodeButtonMode);
}

TMachCodeDialog::~TMachCodeDialog() = default;

void TMachCodeDialog::SetMode(int mode)
{
    switch (mode) {
    case CodeButtonMode:
        m_sLabel1->setText(QStringLiteral("G Code"));
        m_panels->setCurrentWidget(m_pnlCodeBtn);
        break;
    case ScriptButtonMode:
        m_sLabel1->setText(QStringLiteral("VB Script"));
        m_panels->setCurrentWidget(m_pnlCodeBtn);
        break;
    case UserButtonMode:
        m_panels->setCurrentWidget(m_pnlUserBtn);
        break;
    default:
        throw ZentyrError(QStringLiteral("Invalid code dialog mode %1").arg(mode));
    }
    m_mode = mode;
}

QString TMachCodeDialog::CaptionText() const
{
    return m_eCaption->text();
}

void TMachCodeDialog::SetCaptionText(const QString& caption)
{
    m_eCaption->setText(caption);
}

QPlainTextEdit* TMachCodeDialog::CodeMemo() const
{
    return m_mode == UserButtonMode ? m_sMemo2 : m_sMemo1;
}

QString TMachCodeDialog::CodeText() const
{
    return CodeMemo()->toPlainText();
}

void TMachCodeDialog::SetCodeText(const QString& code)
{
    // Both memos, so the text is there whichever mode is set afterwards.
    m_sMemo1->setPlainText(code);
    m_sMemo2->setPlainText(code);
}

int TMachCodeDialog::ButtonNumber() const
{
    const QString text = m_eBtnNumber->text().trimmed();
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok)
        throw ZentyrError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return number;
}

QWidget* TMachCodeDialog::FrontPanel() const
{
    return m_panels->currentWidget();
}

void TMachCodeDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_eCaption->setFocus();
    m_eCaption->selectAll();
}
