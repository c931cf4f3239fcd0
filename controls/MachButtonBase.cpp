#include "controls/MachButtonBase.h"

#include "platform/OperatorAction.h"
#include "platform/Platform.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QMouseEvent>
#include <QPointer>

#include <memory>

ButtonDialogRunner NativeDialogRunner()
{
    return [](QDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

TSkinnedButton::TSkinnedButton(PlatformServices& platform, QWidget* parent)
    : QPushButton(parent), m_platform(platform), m_dialogRunner(NativeDialogRunner())
{
    // Buttons on the operator's panels never become a window's default button.
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { Guarded([this] { Click(); }); });
}

TSkinnedButton::~TSkinnedButton() = default;

void TSkinnedButton::SetImages(const QList<QIcon>& images)
{
    m_images = images;
    ApplyImage();
}

void TSkinnedButton::SetImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    ApplyImage();
}

void TSkinnedButton::ApplyImage()
{
    const bool shown = m_imageIndex >= 0 && m_imageIndex < m_images.size();
    setIcon(shown ? m_images.at(m_imageIndex) : QIcon());
}

void TSkinnedButton::SetDialogRunner(ButtonDialogRunner runner)
{
    m_dialogRunner = runner ? std::move(runner) : NativeDialogRunner();
}

void TSkinnedButton::Click()
{
    RaiseClickEvent();
}

void TSkinnedButton::RunFunctionDialog(QDialog* dialog, const std::function<void()>& apply)
{
    const QPointer<TSkinnedButton> self(this);
    const QPointer<QDialog> open(dialog);
    // A copy: the runner must survive the button being destroyed while the dialog is open.
    const ButtonDialogRunner runner = m_dialogRunner;
    const bool accepted = runner(*dialog);
    if (!self)
        return;  // the dialog went with its owner
    const std::unique_ptr<QDialog> owned(open.data());
    if (accepted && owned) {
        apply();
        Q_EMIT FunctionEdited();
    }
}

void TSkinnedButton::Guarded(const std::function<void()>& action)
{
    RunOperatorAction(m_platform.messageBoxes, action);
}

void TSkinnedButton::SetEnabledIfChanged(bool enabled)
{
    if (testAttribute(Qt::WA_Disabled) == enabled)
        setEnabled(enabled);
}

void TSkinnedButton::mousePressEvent(QMouseEvent* event)
{
    // The press is taken so that the release comes to this button and not to its parent.
    if (event->button() == Qt::RightButton && HasFunctionDialog()) {
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void TSkinnedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton && HasFunctionDialog()) {
        event->accept();
        if (rect().contains(event->position().toPoint()))
            Guarded([this] { EditFunction(); });
        return;
    }
    QPushButton::mouseReleaseEvent(event);
}

void TSkinnedButton::contextMenuEvent(QContextMenuEvent* event)
{
    if (HasFunctionDialog())
        event->accept();
    else
        QPushButton::contextMenuEvent(event);
}
