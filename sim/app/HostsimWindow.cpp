#include "sim/app/HostsimWindow.h"

#include "host/MachConstants.h"
#include "sim/MachineModel.h"
#include "sim/app/Journal.h"
#include "sim/app/ProbeTargetPanel.h"
#include "sim/app/StatusLamp.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

#include <cmath>

namespace hostsim {

namespace {

constexpr int AxisCount = 4;  // X, Y, Z, A
constexpr int HistoryLines = 500;

// The lamps and readouts the application's windows use, named as the vocabulary names them.
constexpr TmcOEMLEDtype Lamps[] = {
    oltReset, oltFlood, oltMist, oltSpindle_is_Running, oltJogging_Enabled, oltJog_mode_Cont,
    oltMach_coords_warn, oltPause_Active, oltSingle_Step_Mode_Active,
};
constexpr TmcOEMDROtype Values[] = {odtFeedrate, odtRapid_feedrate, odtSpindle_requested,
                                    odtJog_Inc, odtCurr_Line_no};

QString Number(double v) { return QString::number(v, 'f', 4); }

// The status line shows the first line of a message, cut to a readable length; the history
// below keeps the whole text.
QString StatusLineText(const QString& status)
{
    constexpr qsizetype MaxChars = 200;
    const QChar ellipsis(0x2026);
    qsizetype end = 0;
    while (end < status.size() && status[end] != u'\n' && status[end] != u'\r')
        ++end;
    QString line = status.left(qMin(end, MaxChars));
    if (end > MaxChars)
        line += ellipsis;
    if (end < status.size())
        line += QLatin1Char(' ') + ellipsis;
    return line;
}

// A label whose text, however long, never sets the window's width: a long path or message
// would otherwise stretch the window beyond the screen.
void LetTextNotSetTheWidth(QLabel* label)
{
    label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
}

// Sets a label's text only when the value moved, so an idle window costs nothing.
void ShowNumber(QLabel* label, double& shown, double value)
{
    if (value == shown || (std::isnan(value) && std::isnan(shown)))
        return;
    shown = value;
    label->setText(Number(value));
}

QPlainTextEdit* BoundedLog(int lines, QWidget* parent)
{
    auto* log = new QPlainTextEdit(parent);
    log->setReadOnly(true);
    log->setMaximumBlockCount(lines);
    log->setLineWrapMode(QPlainTextEdit::NoWrap);
    return log;
}

}  // namespace

struct HostsimWindow::AxisRow
{
    QLabel* work;
    QLabel* machine;
    StatusLamp* referenced;
    double shownWork;
    double shownMachine;
};

HostsimWindow::HostsimWindow(MachineModel& model, Journal& journal, const QString& journalPath,
                             QWidget* parent)
    : QMainWindow(parent), m_model(model), m_journal(journal)
{
    setWindowTitle(HostCaption());
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(BuildReadouts());
    splitter->addWidget(BuildLog(journalPath));
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);
    resize(980, 640);
    Refresh();
}

HostsimWindow::~HostsimWindow() = default;

QWidget* HostsimWindow::BuildReadouts()
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);

    auto* axes = new QGroupBox(QStringLiteral("Axes"), panel);
    auto* grid = new QGridLayout(axes);
    grid->addWidget(new QLabel(QStringLiteral("Work"), axes), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Machine"), axes), 0, 2);
    for (int a = 0; a < AxisCount; ++a) {
        const QString name = QString(QLatin1Char("XYZA"[a]));
        AxisRow row{new QLabel(axes), new QLabel(axes), new StatusLamp(QStringLiteral("Ref"), axes), NAN, NAN};
        row.work->setObjectName(QStringLiteral("work") + name);
        row.machine->setObjectName(QStringLiteral("machine") + name);
        grid->addWidget(new QLabel(name, axes), a + 1, 0);
        grid->addWidget(row.work, a + 1, 1);
        grid->addWidget(row.machine, a + 1, 2);
        grid->addWidget(row.referenced, a + 1, 3);
        m_axes.push_back(row);
    }
    column->addWidget(axes);

    auto* lamps = new QGroupBox(QStringLiteral("Lamps"), panel);
    auto* lampGrid = new QGridLayout(lamps);
    int i = 0;
    for (TmcOEMLEDtype led : Lamps) {
        auto* lamp = new StatusLamp(OEMLEDName(led), lamps);
        lampGrid->addWidget(lamp, i / 2, i % 2);
        m_lamps.push_back({OEMLEDCodeOf(led), lamp});
        ++i;
    }
    column->addWidget(lamps);

    auto* values = new QGroupBox(QStringLiteral("Values"), panel);
    auto* form = new QFormLayout(values);
    for (TmcOEMDROtype dro : Values) {
        auto* label = new QLabel(values);
        form->addRow(OEMDROName(dro), label);
        m_values.push_back({OEMDROCodeOf(dro), label, NAN});
    }
    m_file = new QLabel(values);
    m_file->setObjectName(QStringLiteral("file"));
    LetTextNotSetTheWidth(m_file);
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QStringLiteral("File"), m_file);
    column->addWidget(values);

    column->addWidget(new ProbeTargetPanel(m_model, panel));
    column->addStretch(1);
    return panel;
}

QWidget* HostsimWindow::BuildLog(const QString& journalPath)
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    m_status = new QLabel(panel);
    m_status->setObjectName(QStringLiteral("status"));
    LetTextNotSetTheWidth(m_status);
    m_status->setFrameShape(QFrame::Panel);
    m_status->setFrameShadow(QFrame::Sunken);
    column->addWidget(new QLabel(QStringLiteral("Status line"), panel));
    column->addWidget(m_status);
    column->addWidget(new QLabel(QStringLiteral("Message history"), panel));
    m_history = BoundedLog(HistoryLines, panel);
    m_history->setObjectName(QStringLiteral("history"));
    column->addWidget(m_history, 1);

    QString title = QStringLiteral("Journal");
    if (!m_journal.FileError().isEmpty())
        title += QStringLiteral(" (%1)").arg(m_journal.FileError());
    else if (!journalPath.isEmpty())
        title += QStringLiteral(" (also written to %1)").arg(journalPath);
    column->addWidget(new QLabel(title, panel));
    m_journalView = BoundedLog(int(Journal::WindowLines), panel);
    m_journalView->setObjectName(QStringLiteral("journal"));
    column->addWidget(m_journalView, 2);
    return panel;
}

void HostsimWindow::Refresh()
{
    for (int a = 0; a < AxisCount; ++a) {
        const AxisState state = m_model.Axis(a);
        AxisRow& row = m_axes[size_t(a)];
        ShowNumber(row.work, row.shownWork, state.work);
        ShowNumber(row.machine, row.shownMachine, state.machine);
        row.referenced->SetLit(state.referenced);
    }
    for (LampRow& row : m_lamps)
        row.lamp->SetLit(m_model.GetOEMLed(row.led));
    for (ValueRow& row : m_values)
        ShowNumber(row.label, row.shown, m_model.GetOEMDRO(row.dro));

    const QString file = m_model.FileName();
    const int line = m_model.CurrentLine();
    if (file != m_shownFile || line != m_shownLine) {
        m_shownFile = file;
        m_shownLine = line;
        m_file->setText(m_model.ProgramRunning() || line > 0
                            ? QStringLiteral("%1 (line %2)").arg(file).arg(line)
                            : file);
    }

    // Counting messages rather than comparing texts: a full history drops its oldest entry
    // for each new one, and the same text may well come twice.
    const QStringList fresh = m_model.MessagesSince(m_shownMessages);
    if (!fresh.isEmpty())
        m_history->appendPlainText(fresh.join(QLatin1Char('\n')));
    m_shownMessages = m_model.MessageCount();
    const QString status = m_model.StatusLine();
    if (status != m_shownStatus) {
        m_shownStatus = status;
        m_status->setText(StatusLineText(status));
    }

    const QStringList journal = m_journal.TakePending();
    if (!journal.isEmpty())
        m_journalView->appendPlainText(journal.join(QLatin1Char('\n')));
}

void HostsimWindow::SetShown(bool shown)
{
    if (shown) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
    } else {
        hide();
    }
}

void HostsimWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    QCoreApplication::quit();
}

}  // namespace hostsim
