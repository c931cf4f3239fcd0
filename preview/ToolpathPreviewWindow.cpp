#include "preview/ToolpathPreviewWindow.h"

#include "preview/GCodeToolpath.h"
#include "preview/ToolpathView.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

TToolpathPreviewWindow::TToolpathPreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_summary(new QLabel(this)),
      m_view(new TToolpathView(this))
{
    setObjectName(QStringLiteral("ToolpathPreview"));
    setWindowTitle(QStringLiteral("Toolpath Preview"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    m_summary->setAccessibleName(QStringLiteral("lblSummary"));
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(m_summary);
    column->addWidget(m_view, 1);
    connect(m_view, &TToolpathView::FileShown, this, &TToolpathPreviewWindow::UpdateSummary);
    resize(520, 400);
}

void TToolpathPreviewWindow::ShowProgram(const QString& fileName, std::optional<double> stockTop)
{
    m_fileName = fileName;
    m_summary->setText(QFileInfo(fileName).fileName());
    m_view->ShowFile(fileName, stockTop);
    ShowWithoutFocus();
}

void TToolpathPreviewWindow::ShowText(const QString& text)
{
    m_fileName.clear();
    m_summary->clear();
    m_view->ShowMessage(text);
    ShowWithoutFocus();
}

void TToolpathPreviewWindow::ShowWithoutFocus()
{
    if (!isVisible())
        show();
}

void TToolpathPreviewWindow::UpdateSummary()
{
    const auto path = m_view->Toolpath();
    const QString name = QFileInfo(m_fileName).fileName();
    if (!path) {
        m_summary->setText(name);
        return;
    }
    const auto rapid = std::count_if(path->moves.begin(), path->moves.end(),
                                     [](const TToolpathMove& move) { return move.rapid; });
    QString text = QStringLiteral("%1: %2 lines, %3 moves (%4 rapid)")
                       .arg(name)
                       .arg(path->lineCount)
                       .arg(path->moves.size())
                       .arg(rapid);
    if (path->skippedLines > 0)
        text += QStringLiteral("; %1 lines not drawn, the first is line %2")
                    .arg(path->skippedLines)
                    .arg(path->firstSkippedLine);
    m_summary->setText(text);
}
