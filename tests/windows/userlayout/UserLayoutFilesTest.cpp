#include "platform/ZentyrError.h"
#include "windows/UserLayoutFiles.h"

#include "UserLayoutTestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Cbl(const char* body)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n") + body;
}

TCodeButtonLayout GoldenButtons()
{
    TCodeButtonLayout layout;
    layout.placement.top = 27;
    layout.placement.left = 519;
    layout.buttons = {
        {TCodeButtonKind::GCode, QStringLiteral("Flood & Go"), QStringLiteral("M8\nG0 X1 (a<b)"), obtNONE},
        {TCodeButtonKind::VBScript, QStringLiteral(u"Düse"), QStringLiteral("Message \"Hi\""), obtNONE},
        {TCodeButtonKind::OEM, QStringLiteral("OEM Btn: 3"), QString(), static_cast<TmcOEMButtontype>(5)},
    };
    return layout;
}

QStringList Describe(const QList<TCodeButtonEntry>& buttons)
{
    QStringList out;
    for (const TCodeButtonEntry& b : buttons) {
        out.append(CodeButtonClassName(b.kind) + u'|' + b.caption + u'|' + b.code + u'|' +
                   QString::number(b.oemButton));
    }
    return out;
}

}  // namespace

// The three kinds, with "&", "<", a quote, a Latin-1 letter and a line break, written byte for
// byte (a line break in the button becomes the file's CR LF) and read back whole.
TEST(CodeButtonLayoutFile, GoldenFileBothWays)
{
    const QByteArray golden = GoldenBytes(QStringLiteral("ThreeKinds.cbl"));
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(FormatCodeButtonLayout(GoldenButtons()), golden);

    TCodeButtonLayout withCrLf = GoldenButtons();
    withCrLf.buttons[0].code = QStringLiteral("M8\r\nG0 X1 (a<b)");
    EXPECT_EQ(FormatCodeButtonLayout(withCrLf), golden);

    const TCodeButtonLayout read = ParseCodeButtonLayout(golden);
    EXPECT_EQ(Describe(read.buttons), Describe(withCrLf.buttons));
    EXPECT_EQ(read.placement.top, 27);
    EXPECT_EQ(read.placement.left, 519);
    EXPECT_EQ(read.placement.width, std::nullopt);
    EXPECT_TRUE(read.stopError.isEmpty());
    EXPECT_FALSE(golden.mid(golden.indexOf("<Button2>")).contains("<Code")) << "OEM: no Code";
}

TEST(LedLayoutFile, GoldenFileBothWays)
{
    const QByteArray golden = GoldenBytes(QStringLiteral("TwoLamps.ledl"));
    ASSERT_FALSE(golden.isEmpty());
    TLedLayout layout;
    layout.placement.top = 29;
    layout.placement.left = 688;
    layout.leds = {{QStringLiteral("Flood"), oltFlood}, {QString(), static_cast<TmcOEMLEDtype>(172)}};
    EXPECT_EQ(FormatLedLayout(layout), golden);

    // Written as LEDbuttonCount, asked for as LEDButtonCount: found regardless of case.
    const TLedLayout read = ParseLedLayout(golden);
    ASSERT_EQ(read.leds.size(), 2);
    EXPECT_EQ(read.leds[0].caption, QStringLiteral("Flood"));
    EXPECT_EQ(read.leds[0].ledType, oltFlood);
    EXPECT_EQ(read.leds[1].ledType, 172);
    EXPECT_TRUE(read.stopError.isEmpty());
}

TEST(CodeButtonLayoutFile, ReadingRules)
{
    struct Case
    {
        const char* what;
        QByteArray file;
        QStringList buttons;
        bool stopped;
    };
    const QString vb = QStringLiteral("TMachVBScriptButton|V||0");
    const Case cases[] = {
        {"no version element is accepted",
         Cbl("<CodeButtons><ButtonCount>1</ButtonCount><Button0><ClassName>TMachVBScriptButton"
             "</ClassName><Caption>V</Caption></Button0></CodeButtons>"),
         {vb}, false},
        {"an unrecognised class is skipped, later entries still read",
         Cbl("<CodeButtons><ButtonCount>3</ButtonCount>"
             "<Button0><ClassName>TMachVBScriptButton</ClassName><Caption>V</Caption></Button0>"
             "<Button1><ClassName>TMachUserButton</ClassName></Button1>"
             "<Button2><ClassName>tmachvbscriptbutton</ClassName></Button2></CodeButtons>"),
         {vb}, false},
        {"element names in lower case",
         Cbl("<CodeButtons><buttoncount>1</buttoncount><button0><classname>TMachVBScriptButton"
             "</classname><caption>V</caption></button0></CodeButtons>"),
         {vb}, false},
        {"another root name reads as empty",
         Cbl("<Desktop_MainForm><ButtonCount>1</ButtonCount><Button0><ClassName>TMachVBScriptButton"
             "</ClassName></Button0></Desktop_MainForm>"),
         {}, false},
        {"entries beyond the count, with leading zeros or repeated are not read twice",
         Cbl("<CodeButtons><ButtonCount>1</ButtonCount>"
             "<Button0><ClassName>TMachVBScriptButton</ClassName><Caption>V</Caption></Button0>"
             "<BUTTON0><ClassName>TMachCodeButton</ClassName></BUTTON0>"
             "<Button00><ClassName>TMachCodeButton</ClassName></Button00>"
             "<Button1><ClassName>TMachCodeButton</ClassName></Button1></CodeButtons>"),
         {vb}, false},
        {"an OEM entry without a kind presses nothing",
         Cbl("<CodeButtons><ButtonCount>1</ButtonCount><Button0><ClassName>TMachOEMButton"
             "</ClassName><Code>ignored</Code></Button0></CodeButtons>"),
         {QStringLiteral("TMachOEMButton|||0")}, false},
        {"an OEM kind above 264 stops; earlier entries stay",
         Cbl("<CodeButtons><ButtonCount>3</ButtonCount>"
             "<Button0><ClassName>TMachVBScriptButton</ClassName><Caption>V</Caption></Button0>"
             "<Button1><ClassName>TMachOEMButton</ClassName><OEMButtonType>265</OEMButtonType></Button1>"
             "<Button2><ClassName>TMachOEMButton</ClassName></Button2></CodeButtons>"),
         {vb}, true},
        {"an OEM kind that is no number stops",
         Cbl("<CodeButtons><ButtonCount>1</ButtonCount><Button0><ClassName>TMachOEMButton"
             "</ClassName><OEMButtonType>five</OEMButtonType></Button0></CodeButtons>"),
         {}, true},
        {"264 is the last kind",
         Cbl("<CodeButtons><ButtonCount>1</ButtonCount><Button0><ClassName>TMachOEMButton"
             "</ClassName><OEMButtonType>264</OEMButtonType></Button0></CodeButtons>"),
         {QStringLiteral("TMachOEMButton|||264")}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TCodeButtonLayout layout = ParseCodeButtonLayout(c.file);
        EXPECT_EQ(Describe(layout.buttons), c.buttons);
        EXPECT_EQ(!layout.stopError.isEmpty(), c.stopped) << layout.stopError.toStdString();
    }
}

TEST(UserLayoutFiles, RejectedFiles)
{
    const QByteArray version = "<CodeButtons><version>%1</version></CodeButtons>";
    for (const char* text : {"1.00", "1.0 ", "", "2.0"}) {
        SCOPED_TRACE(text);
        const QByteArray file = Cbl(QByteArray(version).replace("%1", text).constData());
        EXPECT_EQ(Rejection([&] { ParseCodeButtonLayout(file); }),
                  QStringLiteral("Invalid \".cbl\" File Format"));
        EXPECT_EQ(Rejection([&] { ParseLedLayout(file); }),
                  QStringLiteral("Invalid \".ledl\" File Format"));
    }
    // Not XML at all, or cut off: rejected with the format's message first.
    for (const QByteArray& bad : {QByteArray(), QByteArray("<CodeButtons><Top>1</Top>"),
                                  QByteArray("\x01\x02 not xml")}) {
        EXPECT_TRUE(Rejection([&] { ParseCodeButtonLayout(bad); }).startsWith(InvalidCodeButtonFileMessage))
            << bad.toStdString();
    }
}

TEST(LedLayoutFile, ReadingRules)
{
    const auto file = [](const char* type1, const char* class1) {
        return Cbl((QByteArray("<CodeButtons><LEDButtonCount>3</LEDButtonCount>"
                               "<LEDbutton0><ClassName>TMachLEDLabeled</ClassName><Caption>A</Caption>"
                               "<LEDType>172</LEDType></LEDbutton0><LEDbutton1><ClassName>") +
                    class1 + "</ClassName><LEDType>" + type1 +
                    "</LEDType></LEDbutton1><LEDbutton2><ClassName>TMachLEDLabeled</ClassName>"
                    "</LEDbutton2></CodeButtons>")
                       .constData());
    };
    struct Case
    {
        const char* what;
        QByteArray bytes;
        int lamps;
        bool stopped;
    };
    const Case cases[] = {
        {"172 is the last kind", file("172", "TMachLEDLabeled"), 3, false},
        {"173 stops, the lamps before stay", file("173", "TMachLEDLabeled"), 1, true},
        {"a kind that is no number stops", file("x", "TMachLEDLabeled"), 1, true},
        {"another class is skipped before its kind is looked at", file("173", "TMachLed"), 2, false},
        {"another root reads as empty",
         Cbl("<LEDs><LEDButtonCount>1</LEDButtonCount><LEDbutton0><ClassName>TMachLEDLabeled"
             "</ClassName></LEDbutton0></LEDs>"),
         0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TLedLayout layout = ParseLedLayout(c.bytes);
        EXPECT_EQ(layout.leds.size(), c.lamps);
        EXPECT_EQ(!layout.stopError.isEmpty(), c.stopped);
        if (c.lamps > 0) {
            EXPECT_EQ(layout.leds[0].caption, QStringLiteral("A"));
        }
    }
}

// A count of two thousand million over a file of two entries costs no more than the entries.
TEST(UserLayoutFiles, AStatedCountIsNotAWorkload)
{
    const QByteArray file =
        Cbl("<CodeButtons><ButtonCount>2147483647</ButtonCount><Button2147483646><ClassName>"
            "TMachCodeButton</ClassName></Button2147483646><Button7><ClassName>TMachCodeButton"
            "</ClassName><Caption>seven</Caption></Button7></CodeButtons>");
    const TCodeButtonLayout layout = ParseCodeButtonLayout(file);
    ASSERT_EQ(layout.buttons.size(), 2);
    EXPECT_EQ(layout.buttons[0].caption, QStringLiteral("seven")) << "read by increasing index";
}

TEST(UserLayoutFiles, FilesOnDisk)
{
    QTemporaryDir dir;
    // A missing file reads as an empty document; a folder in its place cannot be read.
    const TCodeButtonLayout missing = ReadCodeButtonLayoutFile(dir.filePath(QStringLiteral("none.cbl")));
    EXPECT_TRUE(missing.buttons.isEmpty());
    EXPECT_EQ(missing.placement.top, std::nullopt);
    EXPECT_THROW(ReadLedLayoutFile(dir.path()), ZentyrError);

    const QString path = dir.filePath(QStringLiteral("a.ledl"));
    const QByteArray old = GoldenBytes(QStringLiteral("TwoLamps.ledl"));
    WriteUserLayoutFile(path, old);
    EXPECT_EQ(FileBytes(path), old);
    {
        const FileSizeLimit limit(100);
        EXPECT_THROW(WriteUserLayoutFile(path, QByteArray(4096, 'x')), ZentyrError);
    }
    EXPECT_EQ(FileBytes(path), old) << "a failed write leaves the old file";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.ledl")})
        << "and no temporary file";
    EXPECT_THROW(WriteUserLayoutFile(dir.filePath(QStringLiteral("no/such/folder.cbl")), old),
                 ZentyrError);
}

TEST(UserLayoutFiles, InitialFolder)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("zentyr"));
    const QString desktop = QStringLiteral("/home/op/.config/Zentyr.dsktp");
    EXPECT_EQ(InitialLayoutFolder(program, desktop), dir.path());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList())
        << "the probe leaves nothing behind";
    EXPECT_EQ(InitialLayoutFolder(QStringLiteral("/no/such/folder/zentyr"), desktop),
              QStringLiteral("/home/op/.config"));
}
