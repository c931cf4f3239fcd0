#include "fuzz/LayoutFuzzEntries.h"

#include "platform/ZentyrError.h"
#include "windows/LayoutXmlDocument.h"
#include "windows/UserLayoutFiles.h"
#include "windows/XmlLayoutStorage.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "Layout reader check failed: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

QByteArray BytesOf(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// An element name as the writer puts it in the file: characters beyond Latin-1 become "_".
QString WrittenName(QString name)
{
    for (QChar& c : name) {
        if (c.unicode() > 0xFF)
            c = u'_';
    }
    return name;
}

bool SameTree(const TLayoutXmlNode& read, const TLayoutXmlNode& reread)
{
    if (WrittenName(read.name) != reread.name || read.text != reread.text
        || read.children.size() != reread.children.size())
        return false;
    for (std::size_t i = 0; i < read.children.size(); ++i) {
        if (!SameTree(*read.children[i], *reread.children[i]))
            return false;
    }
    return true;
}

// Every element that a path reaches (the first of its name among its siblings, letter case
// aside) reads back through the store as its own text. `budget` bounds the reads and `depth`
// the levels, since each read walks its whole path: the program's paths are a few levels deep.
void CheckPathsReadBack(const TXmlLayoutStorage& store, const TLayoutXmlNode& node,
                        const QString& path, int& budget, int depth = 8)
{
    static const QString absent = QStringLiteral("\x01absent\x01");
    if (depth == 0)
        return;
    for (const auto& child : node.children) {
        if (budget-- <= 0)
            return;
        if (node.FindChild(child->name) != child.get())
            continue;
        const QString childPath = path + u'\\' + child->name;
        Check(store.ReadString(childPath, absent) == child->text,
              "an element reads back as its text");
        CheckPathsReadBack(store, *child, childPath, budget, depth - 1);
    }
}

// The keys the program reads from the desktop file, in every section it selects.
void ReadKnownKeys(TXmlLayoutStorage& store)
{
    static const char* const sections[] = {
        "Desktop\\MainForm", "Desktop\\UserButtonForm", "Desktop\\LEDButtonForm",
        "Desktop\\JogForm", "Desktop\\SpindleForm", "Desktop\\GCodeEditorForm",
        "Desktop\\BambooMillForm"};
    static const char* const integers[] = {"Left", "Top", "Width", "Height", "ScalarSetting",
                                           "WindowState"};
    static const char* const strings[] = {"Layoutfile", "LastFile", "CodeButton1\\Caption",
                                          "CodeButton1\\Code", "CodeButton2\\Caption",
                                          "CodeButton2\\Code"};
    for (const char* section : sections) {
        store.SelectSection(QString::fromLatin1(section));
        for (const char* key : integers)
            (void)store.ReadInteger(QString::fromLatin1(key), 0);
        for (const char* key : strings)
            (void)store.ReadString(QString::fromLatin1(key), QString());
        (void)store.ReadBoolean(QStringLiteral("JogFormAlloc"), false);
    }
}

QString WithLfBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

void CheckPlacementWritten(const TLayoutPlacement& read, const TLayoutPlacement& reread)
{
    Check(reread.top == read.top.value_or(0) && reread.left == read.left.value_or(0),
          "top and left are written and read back");
    Check(!reread.width && !reread.height, "width and height are never written");
}

bool SameButtons(const QList<TCodeButtonEntry>& read, const QList<TCodeButtonEntry>& reread)
{
    if (read.size() != reread.size())
        return false;
    for (qsizetype i = 0; i < read.size(); ++i) {
        const TCodeButtonEntry& a = read[i];
        const TCodeButtonEntry& b = reread[i];
        if (a.kind != b.kind || a.caption != b.caption || a.oemButton != b.oemButton
            || WithLfBreaks(a.code) != WithLfBreaks(b.code))
            return false;
    }
    return true;
}

bool SameLeds(const QList<TLedEntry>& read, const QList<TLedEntry>& reread)
{
    if (read.size() != reread.size())
        return false;
    for (qsizetype i = 0; i < read.size(); ++i) {
        if (read[i].caption != reread[i].caption || read[i].ledType != reread[i].ledType)
            return false;
    }
    return true;
}

}  // namespace

int FuzzDesktopLayout(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = BytesOf(data, size);
    TXmlLayoutStorage store(TXmlLayoutStorage::WriteBack::OnFlushOnly);
    store.LoadBytes(bytes);

    TLayoutXmlDocument read(store.RootName());
    read.Load(bytes);
    int budget = 128;
    CheckPathsReadBack(store, read.Root(), store.RootName(), budget);

    // Written back untouched, the file holds the same elements and values.
    const QByteArray untouched = store.FileBytes();
    TLayoutXmlDocument reread(QString{});
    Check(reread.Load(untouched).isEmpty(), "a written file reads without error");
    Check(SameTree(read.Root(), reread.Root()), "a written file reads back the same values");

    ReadKnownKeys(store);

    // Values of any bytes written over whatever the file holds read back, before and after a
    // save.
    const QString value = QString::fromLatin1(bytes.left(48));
    const QString codeKey = QStringLiteral("CodeButton1\\Code");
    store.SelectSection(QStringLiteral("Desktop\\MainForm"));
    store.WriteString(codeKey, value);
    store.WriteInteger(QStringLiteral("Left"), int(size) - 100);
    store.WriteBoolean(QStringLiteral("JogFormAlloc"), size % 2 == 0);
    Check(store.ReadString(codeKey, QString()) == value, "a written value reads back");

    const QByteArray saved = store.FileBytes();
    TXmlLayoutStorage next(TXmlLayoutStorage::WriteBack::OnFlushOnly);
    next.LoadBytes(saved);
    Check(next.LoadError().isEmpty(), "a saved file reads without error");
    Check(next.FileBytes() == saved, "saving what was read changes nothing");
    next.SelectSection(QStringLiteral("Desktop\\MainForm"));
    Check(next.ReadInteger(QStringLiteral("Left"), 0) == int(size) - 100,
          "a saved integer reads back");
    Check(next.ReadBoolean(QStringLiteral("JogFormAlloc"), size % 2 != 0) == (size % 2 == 0),
          "a saved boolean reads back");
    // An element to which the file gave children as well keeps only its value's visible text.
    const TLayoutXmlNode* code = read.Find({QStringLiteral("Desktop"), QStringLiteral("MainForm"),
                                            QStringLiteral("CodeButton1"), QStringLiteral("Code")});
    if (!code || code->children.empty())
        Check(next.ReadString(codeKey, QString()) == value, "a saved value reads back");
    return 0;
}

// One user layout format: its reader and writer, how two readings compare, and the kind of
// file named in the checks' messages.
template <typename Layout>
struct UserLayoutFormat
{
    Layout (*parse)(const QByteArray&);
    QByteArray (*format)(const Layout&);
    bool (*sameEntries)(const Layout&, const Layout&);
    const char* accepted;
    const char* readsToItsEnd;
    const char* entriesReadBack;
};

// Reads the input; what is accepted is written, read again and must come back the same, and
// saving that second reading must write the same bytes.
template <typename Layout>
int FuzzUserLayout(const UserLayoutFormat<Layout>& kind, const std::uint8_t* data, std::size_t size)
{
    Layout layout;
    try {
        layout = kind.parse(BytesOf(data, size));
    } catch (const ZentyrError&) {
        return 0;  // rejected, as the format allows
    }
    const QByteArray written = kind.format(layout);
    Layout reread;
    try {
        reread = kind.parse(written);
    } catch (const ZentyrError&) {
        Check(false, kind.accepted);
    }
    Check(reread.stopError.isEmpty(), kind.readsToItsEnd);
    CheckPlacementWritten(layout.placement, reread.placement);
    Check(kind.sameEntries(layout, reread), kind.entriesReadBack);
    Check(kind.format(reread) == written, "saving what was read changes nothing");
    return 0;
}

int FuzzCodeButtonLayout(const std::uint8_t* data, std::size_t size)
{
    static const UserLayoutFormat<TCodeButtonLayout> kind{
        ParseCodeButtonLayout, FormatCodeButtonLayout,
        [](const TCodeButtonLayout& a, const TCodeButtonLayout& b) {
            return SameButtons(a.buttons, b.buttons);
        },
        "a written code button layout is accepted", "a written code button layout reads to its end",
        "the buttons read back as written"};
    return FuzzUserLayout(kind, data, size);
}

int FuzzLedLayout(const std::uint8_t* data, std::size_t size)
{
    static const UserLayoutFormat<TLedLayout> kind{
        ParseLedLayout, FormatLedLayout,
        [](const TLedLayout& a, const TLedLayout& b) { return SameLeds(a.leds, b.leds); },
        "a written lamp layout is accepted", "a written lamp layout reads to its end",
        "the lamps read back as written"};
    return FuzzUserLayout(kind, data, size);
}
