#include "app/ToolWindows.h"

#include "controls/Scalar.h"
#include "host/CMach4Wrapper.h"
#include "windows/LayoutStorage.h"
#include "windows/MachGCodeForm.h"
#include "windows/ZentyrMain.h"

#include <QPointer>

namespace {

TGCodeEditor* Editor(QWidget* window)
{
    return static_cast<TGCodeEditor*>(window);
}

}  // namespace

// The G-code editor: created on first opening, owned by the main window. First-open steps:
// desktop section, host connection, script object and update thread (which registers the
// current-line field), the stored scale, binding, and the views reloaded by every program the
// host connection loads.
void PlugEditorWindow(TForm1& main)
{
    TToolWindowSlot slot(
        [&main] { return new TGCodeEditor(main.Context().platform, &main); },
        [&main](QWidget* window) {
            TGCodeEditor* editor = Editor(window);
            TCMach4Wrapper& wMach = main.wMach();
            if (TLayoutStorage* fs = main.fs())
                editor->ReadDesktopSection(*fs);
            editor->SetMachConnection(&wMach);
            editor->SetIMach(wMach.iMach());
            editor->SetUpdateThread(wMach.UpdateThread());
            if (TLayoutStorage* fs = main.fs()) {
                fs->SelectSection(TGCodeEditor::DesktopSection);
                editor->Scalar1().SetScalefactor(
                    fs->ReadInteger(QStringLiteral("ScalarSetting"), 0));
            }
            wMach.BindWindow(editor);
            wMach.SetEditorReload([shown = QPointer<TGCodeEditor>(editor)](const QString& path) {
                if (shown)
                    shown->ReloadFromHost(path);
            });
        });
    slot.SetSaveLayout(
        [](QWidget* window, TLayoutStorage& store) { Editor(window)->WriteDesktopSection(store); });
    // Unsaved edits are offered for saving before the program ends and the window goes.
    slot.SetStoreAtClose(
        [](QWidget* window, TLayoutStorage&) { Editor(window)->Commands().OfferSaveAtExit(); });
    main.SetToolWindow(TForm1::ToolWindow::Editor, std::move(slot));
}
