#include "windows/XmlLayoutStorage.h"

#include "platform/WholeFile.h"
#include "platform/ZentyrError.h"
#include "windows/LayoutXmlDocument.h"
#include "windows/WindowsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>


namespace {

// The root's name before any section is selected or file read.
const QString kInitialRootName = QStringLiteral("Layout");

bool IsAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsNameCharacter(QChar c)
{
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == u':'
        || c == u'_';
}

// A name an element can carry and every XML reader accepts.
bool IsValidElementName(const QString& name)
{
    if (name.isEmpty() || !(IsAsciiLetter(name[0]) || name[0] == u'_'))
        return false;
    return std::all_of(name.begin(), name.end(), IsNameCharacter);
}

QString RootNameForSection(const QString& section)
{
    QString name = section;
    for (QChar& c : name) {
        if (!IsNameCharacter(c))
            c = u'_';
    }
    // A name may not begin with a digit, "-", "." or ":"; the file would be unreadable.
    if (!IsAsciiLetter(name[0]) && name[0] != u'_')
        name.prepend(u'_');
    return name;
}

} // namespace

TXmlLayoutStorage::TXmlLayoutStorage(WriteBack writeBack)
    : m_writeBack(writeBack), m_document(std::make_unique<TLayoutXmlDocument>(kInitialRootName))
{
}

TXmlLayoutStorage::TXmlLayoutStorage(const QString& fileName, WriteBack writeBack)
    : TXmlLayoutStorage(writeBack)
{
    SetFileName(fileName);
}

TXmlLayoutStorage::~TXmlLayoutStorage()
{
    if (m_writeBack != WriteBack::AtDestruction || m_unreadable)
        return;
    try {
        Flush();
    } catch (const ZentyrError& error) {
        // The program is ending; the previous file stays as it was.
        qCWarning(lcWindows).noquote() << "Layout not saved:" << error.message();
    }
}

void TXmlLayoutStorage::SetFileName(const QString& fileName)
{
    m_fileName = fileName;
    m_loadError.clear();
    m_unreadable = false;
    m_keepDamagedCopy = false;
    m_document->Clear();
    if (fileName.isEmpty() || !QFileInfo::exists(fileName))
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_loadError = file.errorString();
        m_unreadable = true;
    } else {
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            m_loadError = file.errorString();
            m_unreadable = true;
        } else {
            LoadBytes(bytes);
        }
    }
    if (!m_loadError.isEmpty()) {
        qCWarning(lcWindows).noquote() << "Layout file" << fileName << "read in part:" << m_loadError;
        m_keepDamagedCopy = !m_unreadable;
    }
}

void TXmlLayoutStorage::LoadBytes(const QByteArray& bytes)
{
    m_loadError = m_document->Load(bytes);
}

void TXmlLayoutStorage::SelectSection(const QString& path)
{
    if (path.isEmpty())
        throw ZentyrError(QStringLiteral("The node must be given a name"));
    if (std::any_of(path.begin(), path.end(), [](QChar c) { return c.isSpace(); }))
        throw ZentyrError(
            QStringLiteral("The node name \"%1\" must not contain white space").arg(path));
    m_section = path;
    m_document->Root().name = RootNameForSection(path);
}

QString TXmlLayoutStorage::RootName() const
{
    return m_document->Root().name;
}

void TXmlLayoutStorage::Flush()
{
    if (m_fileName.isEmpty())
        return;
    const QFileInfo target(m_fileName);
    if (!QDir().mkpath(target.absolutePath()))
        throw ZentyrError(
            QStringLiteral("Cannot create the folder \"%1\"").arg(target.absolutePath()));

    if (m_keepDamagedCopy && QFileInfo::exists(m_fileName)) {
        const QString copy = m_fileName + DamagedCopySuffix;
        QFile::remove(copy);
        QFile original(m_fileName);
        if (!original.copy(copy))
            throw ZentyrError(QStringLiteral("Cannot keep a copy of the damaged layout file \"%1\": %2")
                                  .arg(m_fileName, original.errorString()));
        qCWarning(lcWindows).noquote() << "Layout file" << m_fileName
                                       << "was damaged; its original is kept as" << copy;
    }
    m_keepDamagedCopy = false;
    if (const std::optional<QString> failure = WriteWholeFile(m_fileName, FileBytes()))
        throw ZentyrError(QStringLiteral("Cannot write \"%1\": %2").arg(m_fileName, *failure));
}

QByteArray TXmlLayoutStorage::FileBytes() const
{
    return m_document->Serialize();
}

std::optional<QString> TXmlLayoutStorage::FindValue(const QString& path) const
{
    const TLayoutXmlNode* node = m_document->Find(ElementPath(path));
    if (!node)
        return std::nullopt;
    return node->text;
}

void TXmlLayoutStorage::StoreValue(const QString& path, const QString& text)
{
    const QStringList segments = ElementPath(path);
    for (const QString& segment : segments) {
        if (!IsValidElementName(segment))
            throw ZentyrError(QStringLiteral("\"%1\" is not a valid node name").arg(segment));
    }
    m_document->Make(segments).text = text;
}

QStringList TXmlLayoutStorage::ElementPath(const QString& path) const
{
    const QString full = m_section.isEmpty() ? path : m_section + u'\\' + path;
    QStringList segments = full.split(u'\\', Qt::SkipEmptyParts);
    if (!segments.isEmpty() && segments.first() == m_document->Root().name)
        segments.removeFirst();
    return segments;
}
