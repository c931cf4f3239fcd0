#include "windows/SkinManager.h"

#include "windows/BuiltInSkins.h"

#include <QApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>
#include <optional>

Q_LOGGING_CATEGORY(lcSkins, "zentyr.skins")

namespace {

// The look the application had before any skin, taken once per process: a later manager must
// not mistake an earlier manager's skin for the platform's look.
const TNativeLook& NativeLook()
{
    static const TNativeLook look = [] {
        QString style = QApplication::style()->name();
        if (style.isEmpty())
            style = QStringLiteral("Fusion");
        return TNativeLook{style, QApplication::palette()};
    }();
    return look;
}

// The style key of the application: taken from the style until a style sheet wraps it, then
// the one last given by any manager.
QString& AppliedStyle()
{
    static QString style;
    return style;
}

}  // namespace

const QString TSkinManager::DefaultSkinName = QStringLiteral("GrayPlastic (internal)");

TSkinManager::TSkinManager(QObject* owner)
    : QObject(owner), m_skins(BuiltInSkins(NativeLook())), m_skinName(DefaultSkinName)
{
}

TSkinManager::~TSkinManager() = default;

void TSkinManager::SetSkinDirectory(const QString& folder)
{
    m_skinDirectory = folder;
    m_skins.removeIf([](const TSkin& skin) { return !skin.internal; });
    m_problems.clear();
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return;
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("*.") + QLatin1String(SkinFileSuffix)},
                          QDir::Files | QDir::System | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        QString problem;
        std::optional<TSkin> skin = ReadSkinFile(file.filePath(), problem);
        if (skin && Find(skin->name))
            problem = QStringLiteral("a skin named \"%1\" is offered already").arg(skin->name);
        if (!skin || !problem.isEmpty()) {
            const QString line = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file.filePath()), problem);
            qCWarning(lcSkins).noquote() << "Skin file skipped:" << line;
            m_problems << line;
            continue;
        }
        m_skins << *skin;
    }
}

QStringList TSkinManager::SkinNames() const
{
    QStringList names;
    for (const TSkin& skin : m_skins)
        names << skin.name;
    return names;
}

int TSkinManager::InternalSkinCount() const
{
    return static_cast<int>(std::count_if(m_skins.begin(), m_skins.end(),
                                          [](const TSkin& skin) { return skin.internal; }));
}

const TSkin* TSkinManager::Find(const QString& name) const
{
    for (const TSkin& skin : m_skins) {
        if (skin.name == name)
            return &skin;
    }
    return nullptr;
}

void TSkinManager::SetSkinName(const QString& name)
{
    const TSkin* skin = Find(name);
    if (!skin) {
        qCWarning(lcSkins).noquote()
            << QStringLiteral("Skin \"%1\" is not offered; \"%2\" is used instead.")
                   .arg(name, DefaultSkinName);
        skin = Find(DefaultSkinName);
    }
    if (m_applied && skin->name == m_skinName)
        return;
    Apply(*skin);
    m_skinName = skin->name;
    m_applied = true;
    Q_EMIT SkinChanged(m_skinName);
}

// The style first (a new style brings its own palette), then the palette, then the sheet; each
// only when it differs from what the application has, since each change repolishes every
// widget of the program.
void TSkinManager::Apply(const TSkin& skin)
{
    QString& appliedStyle = AppliedStyle();
    if (appliedStyle.isEmpty() && qApp->styleSheet().isEmpty())
        appliedStyle = QApplication::style()->name();
    if (appliedStyle.isEmpty() || skin.style.compare(appliedStyle, Qt::CaseInsensitive) != 0) {
        if (QStyle* style = QStyleFactory::create(skin.style)) {
            QApplication::setStyle(style);
            appliedStyle = skin.style;
        } else {
            qCWarning(lcSkins).noquote()
                << QStringLiteral("Style \"%1\" of skin \"%2\" is not available; the current style stays.")
                       .arg(skin.style, skin.name);
        }
    }
    QApplication::setPalette(skin.palette);
    if (qApp->styleSheet() != skin.styleSheet)
        qApp->setStyleSheet(skin.styleSheet);
}
