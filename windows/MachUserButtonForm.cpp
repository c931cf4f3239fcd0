#include "windows/MachUserButtonForm.h"

#include "controls/MachButton.h"
#include "windows/UserColumn.h"
#include "windows/UserLayoutFiles.h"

#include <QToolButton>

namespace {

const QString ButtonHint = QStringLiteral("Right Click To Change Button Function");

TUserLayoutKind CodeButtonFiles()
{
    const QString filter = QStringLiteral("Code Button Layout  (\".cbl\")|*.cbl");
    return TUserLayoutKind{QStringLiteral("Buttons"), QStringLiteral("cbl"), filter, filter,
                           TUserCodeButtonsForm::DesktopSection};
}

QString CaptionPrefix(TCodeButtonKind kind)
{
    switch (kind) {
    case TCodeButtonKind::GCode:
        return QStringLiteral("G Code Btn: ");
    case TCodeButtonKind::VBScript:
        return QStringLiteral("VB Script Btn: ");
    case TCodeButtonKind::OEM:
        return QStringLiteral("OEM Btn: ");
    }
    return QString();
}

}  // namespace

const QString TUserCodeButtonsForm::DesktopSection = QStringLiteral("Desktop\\UserButtonForm");

TUserCodeButtonsForm::TUserCodeButtonsForm(PlatformServices& platform, QWidget* parent)
    : TUserLayoutForm(platform, CodeButtonFiles(), parent)
{
    setObjectName(QStringLiteral("UserCodeButtonsForm"));
    setWindowTitle(QStringLiteral("User Buttons"));
    move(519, 27);
    resize(163, 350);

    QWidget* top = pnlBtnAdd();
    m_btnGCode = AddFlatButton(top, QStringLiteral("btnGCode"), QStringLiteral("Gcode"),
                               QRect(4, 3, 33, 22), [this] { AddButton(TCodeButtonKind::GCode); });
    m_btnVB = AddFlatButton(top, QStringLiteral("btnVB"), QStringLiteral("VB"), QRect(39, 3, 33, 22),
                            [this] { AddButton(TCodeButtonKind::VBScript); });
    m_btnOEM = AddFlatButton(top, QStringLiteral("btnOEM"), QStringLiteral("OEM"),
                             QRect(74, 3, 33, 22), [this] { AddButton(TCodeButtonKind::OEM); });
    m_btnUser = AddFlatButton(top, QStringLiteral("btnUser"), QStringLiteral("User"),
                              QRect(109, 3, 33, 22), [] {});
    m_btnUser->setEnabled(false);

    QWidget* bottom = sPanel1();
    m_btnUp = AddFlatButton(bottom, QStringLiteral("btnUp"), QStringLiteral("Up"),
                            QRect(4, 2, 34, 22), [this] { MoveSelectedUp(); });
    m_btnDown = AddFlatButton(bottom, QStringLiteral("btnDown"), QStringLiteral("Down"),
                              QRect(40, 2, 52, 22), [this] { MoveSelectedDown(); });
    m_btnDelete = AddFlatButton(bottom, QStringLiteral("btnDelete"), QStringLiteral("Delete"),
                                QRect(95, 2, 46, 22), [this] { DeleteSelected(); });
    FitWidthToPanels();
}

TUserCodeButtonsForm::~TUserCodeButtonsForm() = default;

int TUserCodeButtonsForm::ButtonCount() const
{
    return Column().Count();
}

tMachButton* TUserCodeButtonsForm::Button(int index) const
{
    return static_cast<tMachButton*>(Column().At(index));
}

tMachButton* TUserCodeButtonsForm::AddButton(TCodeButtonKind kind)
{
    if (!iMach())
        return nullptr;
    tMachButton* button = nullptr;
    switch (kind) {
    case TCodeButtonKind::GCode:
        button = new tMachCodeButton(Platform(), ColumnArea());
        break;
    case TCodeButtonKind::VBScript: {
        auto* script = new tMachVBScriptButton(Platform(), ColumnArea());
        script->SetMacroFolder(m_macroFolder);
        button = script;
        break;
    }
    case TCodeButtonKind::OEM: {
        auto* oem = new tMachOEMButton(Platform(), ColumnArea());
        oem->SetOEMbutton(obtNONE);
        button = oem;
        break;
    }
    }
    button->setText(CaptionPrefix(kind) + QString::number(ButtonCount() + 1));
    button->setToolTip(ButtonHint);
    button->SetIMach(iMach());
    connect(button, &TSkinnedButton::FunctionEdited, this, [this] { SetModified(true); });
    AdoptControl(button, true);
    return button;
}

void TUserCodeButtonsForm::ReadLayoutFile(const QString& path)
{
    if (path.isEmpty())
        return;
    const TCodeButtonLayout layout = ReadCodeButtonLayoutFile(path);
    ReplaceColumn(path, layout.placement, [this, &layout] {
        for (const TCodeButtonEntry& entry : layout.buttons) {
            tMachButton* button = AddButton(entry.kind);
            if (!button)
                continue;
            button->setText(entry.caption);
            if (auto* code = qobject_cast<tMachCodeButton*>(button))
                code->SetCode(entry.code);
            else if (auto* script = qobject_cast<tMachVBScriptButton*>(button))
                script->SetCode(entry.code);
            else if (auto* oem = qobject_cast<tMachOEMButton*>(button))
                oem->SetOEMbutton(entry.oemButton);
        }
    }, layout.stopError);
}

QByteArray TUserCodeButtonsForm::FormatLayout() const
{
    TCodeButtonLayout layout;
    layout.placement.top = y();
    layout.placement.left = x();
    for (QWidget* control : Column().Controls()) {
        TCodeButtonEntry entry;
        entry.caption = static_cast<QAbstractButton*>(control)->text();
        if (auto* code = qobject_cast<tMachCodeButton*>(control)) {
            entry.kind = TCodeButtonKind::GCode;
            entry.code = code->code();
        } else if (auto* script = qobject_cast<tMachVBScriptButton*>(control)) {
            entry.kind = TCodeButtonKind::VBScript;
            entry.code = script->code();
        } else if (auto* oem = qobject_cast<tMachOEMButton*>(control)) {
            entry.kind = TCodeButtonKind::OEM;
            entry.oemButton = oem->OEMbutton();
        }
        layout.buttons.append(entry);
    }
    return FormatCodeButtonLayout(layout);
}
