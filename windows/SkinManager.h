#pragma once

#include "windows/Skin.h"

#include <QList>
#include <QObject>
#include <QStringList>

// The program's skin manager: offers the built-in skins and the skins found as files in the
// skin folder, and applies the current one to the whole application at once (style, palette,
// application style sheet). Windows never style themselves for a skin: every window, also one
// created after the skin was chosen, wears the application's look.
//
// A skin file that cannot be read or parsed is skipped, named in the message log and listed in
// Problems(); so is a file whose name an earlier skin already has. An unknown skin name
// applies the default skin instead, so the program never runs without a usable look.
//
// Process-wide effect: applying changes QApplication's style, palette and style sheet. The
// look the application had before the first manager existed is kept as the native skin. UI
// thread only.
class TSkinManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSkinManager)

public:
    static const QString DefaultSkinName;

    explicit TSkinManager(QObject* owner = nullptr);
    ~TSkinManager() override;

    // The skin in use (after the first SetSkinName), else the one that will be applied first.
    QString SkinName() const { return m_skinName; }
    // Applies the named skin at once; the same name again does nothing once applied.
    void SetSkinName(const QString& name);
    // True once a skin has been applied.
    bool Applied() const { return m_applied; }

    QString SkinDirectory() const { return m_skinDirectory; }
    // Reads the skin files ("*.zskin") of `folder`; a missing folder offers none.
    void SetSkinDirectory(const QString& folder);

    // Names of the skins offered: the built-in ones first, then those of the skin folder.
    QStringList SkinNames() const;
    int InternalSkinCount() const;
    // One line per skin file skipped: its path and why.
    QStringList Problems() const { return m_problems; }

Q_SIGNALS:
    void SkinChanged(const QString& name);

private:
    const TSkin* Find(const QString& name) const;
    void Apply(const TSkin& skin);

    QList<TSkin> m_skins;
    QStringList m_problems;
    QString m_skinDirectory;
    QString m_skinName;
    QString m_appliedStyle;
    bool m_applied = false;
};
