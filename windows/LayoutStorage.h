#pragma once

#include <QString>

#include <optional>

// The typed path interface every store of remembered settings offers: strings, integers and
// booleans addressed by backslash-separated paths, read with a default.
//
// A store keeps text only. The typed calls share one set of rules, implemented here so that
// every store reads alike:
// - integers are written as decimal text ("-12"); an existing value that is not a valid
//   32-bit decimal integer reads as -1, a missing one as the caller's default;
// - booleans are written as "TRUE" or "FALSE"; "TRUE", "YES", "Y" read as true and "FALSE",
//   "NO", "N" as false, in any letter case and with surrounding blanks ignored. Other texts
//   that are whole numbers read as true unless zero; anything else reads as the default.
//
// All calls run on the user-interface thread. Writes that a store cannot represent raise a
// ZentyrError.
class TLayoutStorage
{
public:
    virtual ~TLayoutStorage() = default;

    // Sets the prefix of the relative paths of all following calls. Stores add their own
    // rules (and errors) for which sections they accept.
    virtual void SelectSection(const QString& path) = 0;
    // The section last selected; empty before the first selection.
    virtual QString Section() const = 0;

    QString ReadString(const QString& path, const QString& defaultValue) const;
    int ReadInteger(const QString& path, int defaultValue) const;
    bool ReadBoolean(const QString& path, bool defaultValue) const;

    void WriteString(const QString& path, const QString& value);
    void WriteInteger(const QString& path, int value);
    void WriteBoolean(const QString& path, bool value);

    // The boolean words and the integer rule, for callers that hold text of their own.
    static std::optional<bool> ParseBoolean(const QString& text);
    static int ParseInteger(const QString& text);

protected:
    TLayoutStorage() = default;

    // The text stored under `path` (relative to the current section), or nothing when the
    // store holds no value there.
    virtual std::optional<QString> FindValue(const QString& path) const = 0;
    // Stores `text` under `path`, creating whatever the store needs on the way.
    virtual void StoreValue(const QString& path, const QString& text) = 0;
};
