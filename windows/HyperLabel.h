#pragma once

#include <QLabel>

struct PlatformServices;

// A label that looks like a link: its font is always underlined (the font it starts with and
// every font given later, also one inherited from its window), its text has the link colour and
// the pointing-hand cursor shows over it. A click with the left button asks the desktop to open
// the label's text (a web address or a document) with its default handler; no other click
// event is raised. A failure to open is shown in the standard error box.
class THyperLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(THyperLabel)

public:
    // `platform` must outlive the label.
    THyperLabel(const QString& text, PlatformServices& platform, QWidget* parent = nullptr);
    ~THyperLabel() override;

    // The click: opens the text as described above.
    void OpenText();

protected:
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Underline();

    PlatformServices& m_platform;
};
