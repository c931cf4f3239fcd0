#pragma once

#include "controls/MachHostBinding.h"

#include <QFrame>
#include <QStringList>

#include <memory>

class QComboBox;
class QLabel;
struct PlatformServices;

// The manual data input line: the operator types one G-code block and presses Enter; the
// block goes to the host with Code and joins the drop-down history (texts in the order first
// sent, no two equal when letter case is ignored, kept while the window lives). The text stays
// in the line, so Enter again sends it again; choosing a history item only puts it in the line.
// The line does not complete typed text from the history: a block is sent exactly as typed.
//
// Disabled until bound. The poll pass keeps it registered but never changes it, so the line
// stays usable while the host is in reset. Binding: receives the script object, is registered.
class TMachMDI final : public QFrame, public TMachHostBinding, public IMachPollable
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TMachMDI)

public:
    explicit TMachMDI(PlatformServices& platform, QWidget* parent = nullptr);
    ~TMachMDI() override;

    // The Enter action: history, then Code(text). Raises the host's error.
    void SendLine();
    QStringList History() const;

    QComboBox* CodeBox() const { return m_cbCode; }

    void PollRefresh(IMyScriptObject& mach, bool machineInReset) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    PlatformServices& m_platform;
    QFrame* m_panel;
    QLabel* m_label;
    QComboBox* m_cbCode;
};
