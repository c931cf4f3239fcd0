#pragma once

#include <QWidget>

#include <optional>

class QLabel;
class TToolpathView;

// A floating window, captioned "Toolpath Preview", that shows one program's path with a line
// that names the program and counts its moves. Showing a program never activates the window
// nor waits for the file: the caller goes on at once (a program is previewed while the
// controller loads it). Resizable; the view fills it.
class TToolpathPreviewWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TToolpathPreviewWindow)

public:
    explicit TToolpathPreviewWindow(QWidget* parent = nullptr);

    // Shows the window (without taking the focus) and starts reading `fileName`.
    void ShowProgram(const QString& fileName, std::optional<double> stockTop = std::nullopt);
    // Shows the window with a text in place of a path.
    void ShowText(const QString& text);

    TToolpathView* View() const { return m_view; }
    QLabel* Summary() const { return m_summary; }

private:
    void UpdateSummary();
    void ShowWithoutFocus();

    QString m_fileName;
    QLabel* m_summary;
    TToolpathView* m_view;
};
