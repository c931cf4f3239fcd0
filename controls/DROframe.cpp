#include "controls/DROframe.h"

#include "controls/MachDro.h"
#include "platform/OperatorAction.h"
#include "platform/Platform.h"

#include <QLabel>
#include <QPushButton>

TAxisDRO::TAxisDRO(PlatformServices& platform, QWidget* parent)
    : TAxisReadout(platform, parent),
      m_btnZero(new QPushButton(QStringLiteral("Z"), this)),
      m_btnRef(new QPushButton(QStringLiteral("R"), this))
{
    resize(131, 26);

    Label()->setText(QStringLiteral("DRO"));
    Label()->setGeometry(4, 3, 20, 20);
    Field()->setGeometry(25, 3, 56, 20);

    m_btnZero->setObjectName(QStringLiteral("btnZero"));
    m_btnZero->setGeometry(84, 3, 21, 20);
    m_btnRef->setObjectName(QStringLiteral("btnRef"));
    m_btnRef->setGeometry(108, 3, 21, 20);

    connect(m_btnZero, &QPushButton::clicked, this, [this] { OperatorAction([this] { Zero(); }); });
    connect(m_btnRef, &QPushButton::clicked, this,
            [this] { OperatorAction([this] { Reference(); }); });
    connect(Field(), &TNumericEdit::FocusEntered, this, [this] {
        if (m_enabled)
            Field()->selectAll();
    });
    connect(Field(), &TNumericEdit::KeyPressed, this, [this](int key) {
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return;
        OperatorAction([this] { eDROValueChanged(); });
        Field()->selectAll();
    });

    // Disabled in the form data: the first poll pass out of reset enables it.
    m_enabled = true;
    Enable(false);
}

TAxisDRO::~TAxisDRO() = default;

void TAxisDRO::Enable(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    setEnabled(enabled);
    Field()->setEnabled(enabled);
    Label()->setEnabled(enabled);
    m_btnZero->setEnabled(enabled);
    m_btnRef->setEnabled(enabled);
}

void TAxisDRO::Zero()
{
    Field()->SetValue(0.0);
    eDROValueChanged();
}

void TAxisDRO::Reference()
{
    ReferenceAxis(true);
}

void TAxisDRO::OperatorAction(const std::function<void()>& action)
{
    RunOperatorAction(Platform().messageBoxes, action);
}
