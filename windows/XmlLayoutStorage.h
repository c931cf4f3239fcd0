#pragma once

#include "windows/LayoutStorage.h"

#include <QtGlobal>

#include <memory>

class TLayoutXmlDocument;

// The layout store over one XML file (the desktop layout file and the user layout files).
//
// The file is read whole when the store is given its file name; every read and write works on
// the in-memory document. The file is written only when the store is destroyed (or, for a
// store made with WriteBack::OnFlushOnly, only by Flush). Writing goes through a temporary file
// that replaces the old one only once every byte has reached it, so a crash or a full disk
// during the write leaves the previous file as it was. A failed write at destruction is only
// logged (category "zentyr.layoutstore"): the program is ending and no window is left to tell.
//
// An existing file that could not be read (locked, no permission, an I/O error) is not
// replaced at destruction: the document then holds only this run's writes over defaults, and
// writing it would destroy every value the file holds. Flush still writes on request.
//
// Paths: the section path, a backslash and the key path, each segment one element level below
// the root. A first segment equal to the root element's name (letter case included) is
// skipped, so such a path starts at the root itself. Elements are matched without regard to
// letter case and the first match wins; writes create the missing elements on the way.
//
// Selecting a section renames the root element after the section path (each character other
// than A-Z, a-z, 0-9, "-", ".", ":" and "_" replaced by "_"). Reading a file gives the root the
// name it has there until the next selection.
class TXmlLayoutStorage final : public TLayoutStorage
{
    Q_DISABLE_COPY_MOVE(TXmlLayoutStorage)

public:
    enum class WriteBack { AtDestruction, OnFlushOnly };

    explicit TXmlLayoutStorage(WriteBack writeBack = WriteBack::AtDestruction);
    // Reads `fileName` at once when it exists (see SetFileName).
    explicit TXmlLayoutStorage(const QString& fileName,
                               WriteBack writeBack = WriteBack::AtDestruction);
    ~TXmlLayoutStorage() override;

    QString FileName() const { return m_fileName; }
    // Names the file and replaces the document with its content. A missing file starts an
    // empty document; an unreadable or malformed one keeps what could be read, and LoadError
    // tells what went wrong (nothing is raised: defaults then apply). Nesting deeper than
    // TLayoutXmlDocument::MaxNestingDepth counts as malformed. The first write over a file
    // that was read only in part first keeps its original bytes beside it, named with
    // DamagedCopySuffix, so what could not be read can still be recovered by hand.
    void SetFileName(const QString& fileName);
    // Replaces the document with the content of `bytes`, read exactly as SetFileName reads a
    // file's bytes; the file name stays. Sets LoadError the same way.
    void LoadBytes(const QByteArray& bytes);
    QString LoadError() const { return m_loadError; }
    static inline const QString DamagedCopySuffix = QStringLiteral(".damaged");

    // Raises "The node must be given a name" for an empty path and an error for a path that
    // holds white space (neither can name an element).
    void SelectSection(const QString& path) override;
    QString Section() const override { return m_section; }
    QString RootName() const;

    // Writes the whole document to the file now, creating its folder when missing. Raises a
    // ZentyrError when the file cannot be written, or when the copy of a file read only in
    // part cannot be kept; the previous file is then unchanged. Does nothing without a file
    // name.
    void Flush();
    // The bytes Flush writes.
    QByteArray FileBytes() const;

protected:
    std::optional<QString> FindValue(const QString& path) const override;
    // Raises an error when a segment of the path cannot name an XML element.
    void StoreValue(const QString& path, const QString& text) override;

private:
    QStringList ElementPath(const QString& path) const;

    WriteBack m_writeBack;
    bool m_unreadable = false;
    // The named file was read only in part and its original is not yet copied aside.
    bool m_keepDamagedCopy = false;
    QString m_fileName;
    QString m_loadError;
    QString m_section;
    std::unique_ptr<TLayoutXmlDocument> m_document;
};
