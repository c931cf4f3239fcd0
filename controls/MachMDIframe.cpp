#include "controls/MachMDIframe.h"

#include "host/Mach4_TLB.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

TMachMDI::TMachMDI(PlatformServices& platform, QWidget* parent)
    : QFrame(parent),
      TMachHostBinding(*this, ScriptObjectBindingRow),
      m_platform(platform),
      m_panel(new QFrame(this)),
      m_label(new QLabel(QStringLiteral("&MDI"), m_panel)),
      m_cbCode(new QComboBox(this))
{
    resize(204, 25);

    m_panel->setObjectName(QStringLiteral("sPanel1"));
    m_panel->setGeometry(2, 3, 26, 20);
    m_label->setObjectName(QStringLiteral("sLabel1"));
    m_label->setGeometry(0, 0, 26, 20);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setBuddy(m_cbCode);

    m_cbCode->setObjectName(QStringLiteral("cbCode"));
    m_cbCode->setEditable(true);
    m_cbCode->setInsertPolicy(QComboBox::NoInsert);
    // The history is kept by SendLine; the box must neither add, pick nor complete items.
    m_cbCode->setDuplicatesEnabled(true);
    m_cbCode->setCompleter(nullptr);
    m_cbCode->setGeometry(30, 2, 172, 21);
    // Keys from the keyboard reach the box, which has the focus and hands them to its line edit
    // without events; keys sent to the line edit itself reach it directly. Both are watched.
    m_cbCode->installEventFilter(this);
    m_cbCode->lineEdit()->installEventFilter(this);

    setEnabled(false);
}

TMachMDI::~TMachMDI()
{
    m_cbCode->removeEventFilter(this);
    m_cbCode->lineEdit()->removeEventFilter(this);
}

void TMachMDI::SendLine()
{
    const QString text = m_cbCode->currentText();
    if (m_cbCode->findText(text, Qt::MatchFixedString) < 0) {
        // Adding the first item would select it and rewrite the line; the line keeps its text.
        m_cbCode->addItem(text);
        if (m_cbCode->currentText() != text)
            m_cbCode->setEditText(text);
    }
    if (iMach())
        iMach()->Code(text);
}

QStringList TMachMDI::History() const
{
    QStringList items;
    items.reserve(m_cbCode->count());
    for (int i = 0; i < m_cbCode->count(); ++i)
        items.append(m_cbCode->itemText(i));
    return items;
}

bool TMachMDI::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_cbCode || watched == m_cbCode->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            RunOperatorAction(m_platform.messageBoxes, [this] { SendLine(); });
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TMachMDI::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    m_cbCode->setGeometry(30, 2, std::max(0, width() - 32), m_cbCode->height());
}

void TMachMDI::PollRefresh(IMyScriptObject&, bool) {}
