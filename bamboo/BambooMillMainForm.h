#pragma once

#include "bamboo/BambooMillActions.h"
#include "bamboo/BambooMillTabs.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QPushButton;
class TCMach4Wrapper;
class TInchEdit;
class TLayoutStorage;
class TToolpathPreviewWindow;

// The bamboo milling window, captioned "Bamboo Milling": seven tabs of checklists, fields and
// step buttons, three local feed frames, a status bar nothing writes to, a "File" menu that is
// empty and a "View" menu that opens the toolpath preview. The steps themselves are
// TBambooMillActions; the window sets up its controls, wires them and keeps the buttons'
// enabled states:
// - the test cut button while "&Jog To Start" is ticked;
// - "Set &Z to Actual" (and the "&Actual" field with it) from a loaded test cut until
//   "&Jog To Start" is toggled;
// - while a step runs, no step button at all (Stop in the main window still ends a wait).
// Every generated program is shown in the preview window before the host loads it.
//
// A tool window of fixed size opened at the centre of the screen; closing it hides it, and
// its values stay until the program ends. Binding (the host connection's BindWindow) binds
// the feed frames.
class TBambooMillForm final : public QMainWindow, public IBambooMillForm
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBambooMillForm)

public:
    static const QString DesktopSection;

    // `wMach` must outlive the window; `iMach` is the host's script object (may be empty).
    TBambooMillForm(TCMach4Wrapper& wMach, std::shared_ptr<IMyScriptObject> iMach,
                    PlatformServices& platform, QWidget* parent = nullptr);
    ~TBambooMillForm() override;

    // Position, size and window state in "Desktop\BambooMillForm"; a missing value keeps the
    // window's current one (the state: normal).
    void ReadDesktopSection(TLayoutStorage& fs);
    void WriteDesktopSection(TLayoutStorage& fs);

    // The preview of the last generated program, or a note that there is none yet.
    void ShowPreview();

    const TBambooMillControls& Controls() const { return m_c; }
    TBambooMillActions& Actions() { return *m_actions; }
    // The preview window once a program was previewed, else null.
    TToolpathPreviewWindow* PreviewWindow() const { return m_preview; }
    QAction* PreviewAction() const { return m_previewAction; }

    // ---- IBambooMillForm ----
    double FieldValue(BambooField field) const override;
    double SetFieldValue(BambooField field, double value) override;
    bool Ticked(BambooCheck check) const override;
    int FeedValue(BambooFeed feed) const override;
    void SetActualEnabled(bool enabled) override;
    void ProgramWritten(const QString& path, double stockTop) override;
    void SetBusy(bool busy) override;

private:
    void BuildMenus();
    void Wire();
    void OnClick(QPushButton* button, void (TBambooMillActions::*step)());
    void UpdateButtons();
    TInchEdit* Edit(BambooField field) const;
    TToolpathPreviewWindow& Preview();

    PlatformServices& m_platform;
    TBambooMillControls m_c;
    std::unique_ptr<TBambooMillActions> m_actions;
    TToolpathPreviewWindow* m_preview = nullptr;
    QAction* m_previewAction = nullptr;
    QString m_lastProgram;
    double m_lastStockTop = 0.0;
    bool m_actualEnabled = false;
    bool m_busy = false;
};
