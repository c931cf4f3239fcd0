#pragma once

#include <QIcon>
#include <QList>
#include <QPushButton>
#include <QString>

#include <functional>

class QDialog;
struct PlatformServices;

// Runs a modal dialog and tells whether it was accepted. The native runner calls exec(); tests
// put in a runner that fills the dialog's fields and answers without opening anything.
using ButtonDialogRunner = std::function<bool(QDialog& dialog)>;
ButtonDialogRunner NativeDialogRunner();

// The skinned push button every host-bound button is built on: a caption, an optional image
// list with the index of the image shown, a skin section, and a click event of its own.
//
// Windows connect to ClickEvent, never to QAbstractButton::clicked: each class decides whether
// and when its click event is raised (some never raise it, some only when bound). A click, from
// the mouse, the keyboard or click(), runs the class's Click inside the operator-action guard,
// so an error shows the standard error box and never reaches Qt's event dispatch. A disabled
// button does not click.
//
// Releasing the right mouse button over a button that has a function dialog opens it (through
// the dialog runner) instead of the normal mouse-up handling; other buttons and other mouse
// buttons get the normal handling. UI thread only.
class TSkinnedButton : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSkinnedButton)

public:
    // `platform` must outlive the button.
    explicit TSkinnedButton(PlatformServices& platform, QWidget* parent = nullptr);
    ~TSkinnedButton() override;

    QString SkinSection() const { return m_skinSection; }
    void SetSkinSection(const QString& section) { m_skinSection = section; }

    // No images (an empty list) means the button has no image list.
    const QList<QIcon>& Images() const { return m_images; }
    bool HasImages() const { return !m_images.isEmpty(); }
    void SetImages(const QList<QIcon>& images);
    // -1, or any index outside the list, shows no image.
    int ImageIndex() const { return m_imageIndex; }
    void SetImageIndex(int index);

    void SetDialogRunner(ButtonDialogRunner runner);

Q_SIGNALS:
    // The button's click event, raised as its class's click rule says.
    void ClickEvent();
    // Raised after an accepted function dialog has been applied: caption, text or kind may
    // have changed, which the window keeping the button in a file needs to know.
    void FunctionEdited();

protected:
    // The click action. The default raises the click event. Runs inside the guard.
    virtual void Click();
    // True for buttons whose function the operator edits through a dialog.
    virtual bool HasFunctionDialog() const { return false; }
    // Opens that dialog and applies an accepted result. Runs inside the guard.
    virtual void EditFunction() {}

    // Runs `dialog`, a child of this button made for one edit, modally through the dialog
    // runner; when it is accepted, `apply` reads it into the button. The dialog is destroyed in
    // every case, also when the button itself goes while the dialog is open (then nothing is
    // applied).
    void RunFunctionDialog(QDialog* dialog, const std::function<void()>& apply);
    void RaiseClickEvent() { Q_EMIT ClickEvent(); }
    PlatformServices& Platform() const { return m_platform; }
    // Runs `action` inside the operator-action guard.
    void Guarded(const std::function<void()>& action);
    // Writes the enabled state only when it changes (poll passes call this on every pass).
    void SetEnabledIfChanged(bool enabled);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Taken by buttons with a function dialog, so no parent shows a menu for that click.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ApplyImage();

    PlatformServices& m_platform;
    ButtonDialogRunner m_dialogRunner;
    QList<QIcon> m_images;
    QString m_skinSection = QStringLiteral("BUTTON");
    int m_imageIndex = -1;
};
