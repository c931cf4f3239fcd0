#pragma once

#include "windows/UserLayoutForm.h"

#include <QIcon>
#include <QList>

class QToolButton;
class tMachLEDLabeled;

// "LEDs": the operator's column of labelled host lamps, kept in user LED layout files
// (".ledl"). A new lamp is captioned "OEM LED: " and the number of lamps, shows no LED until
// its function is set (right-click), gets the script object and is registered with the update
// thread; it does not take the focus. A click selects a lamp for Up, Down and Delete.
class TUserLEDsForm final : public TUserLayoutForm
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TUserLEDsForm)

public:
    static const QString DesktopSection;
    static constexpr int LampImageSize = 12;

    explicit TUserLEDsForm(PlatformServices& platform, QWidget* parent = nullptr);
    ~TUserLEDsForm() override;

    int LedCount() const;
    tMachLEDLabeled* Led(int index) const;
    // The window's two lamp images: index 0 off (red-brown), index 1 on (green).
    const QList<QIcon>& Images() const { return m_images; }

    // The New command: the new lamp, or null without a script object.
    tMachLEDLabeled* AddLed();

    void ReadLayoutFile(const QString& path) override;

    QToolButton* btnNew() const { return m_btnNew; }
    QToolButton* btnDelete() const { return m_btnDelete; }
    QToolButton* btnUp() const { return m_btnUp; }
    QToolButton* btnDown() const { return m_btnDown; }

protected:
    QByteArray FormatLayout() const override;

private:
    QList<QIcon> m_images;
    QToolButton* m_btnNew;
    QToolButton* m_btnDelete;
    QToolButton* m_btnUp;
    QToolButton* m_btnDown;
};
