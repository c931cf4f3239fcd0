#include "sim/GCodeInterpreter.h"
#include "sim/GCodeParser.h"
#include "sim/MacroScript.h"

#include <gtest/gtest.h>

using namespace hostsim;

namespace {

QString ValueText(const GCodeValue& value)
{
    return value.variable >= 0 ? QStringLiteral("#%1").arg(value.variable)
                               : QString::number(value.number);
}

// "G0 X1 #100=2.5": the words and settings of a parsed line, for comparison.
QString Render(const ParsedBlock& block)
{
    QStringList parts;
    for (const GCodeWord& word : block.words)
        parts << QString(word.letter) + ValueText(word.value);
    for (const VariableSetting& setting : block.settings)
        parts << QStringLiteral("#%1=").arg(setting.index) + ValueText(setting.value);
    return parts.join(u' ');
}

BlockContext Context()
{
    static const QHash<int, double> variables{{100, 4.0}, {2000, 1e300}};
    BlockContext context;
    context.machine = {1.0, 2.0, 3.0, 0.0, 0.0, 0.0};
    context.offset = {1.0, 0.0, -1.0, 0.0, 0.0, 0.0};
    context.feed = 20.0;
    context.rapid = 100.0;
    context.variables = &variables;
    context.macroExists = [](int number) { return number == 6666; };
    return context;
}

BlockPlan Plan(const char* line, const BlockContext& context = Context())
{
    return InterpretBlock(ParseGCodeLine(QString::fromLatin1(line)), context);
}

}  // namespace

TEST(GCodeParser, AcceptsTheLineFormsProgramsAndOperatorsWrite)
{
    const struct
    {
        const char* line;
        const char* words;
    } rows[] = {
        {"G0 X1", "G0 X1"},
        {"g31 F1 Y-0.2000", "G31 F1 Y-0.2"},
        {"g31 z-10", "G31 Z-10"},
        {"F60.0000X1.0000", "F60 X1"},  // generated lines run words together
        {"G0 x1.5", "G0 X1.5"},
        {"G01 F40 X-.25", "G1 F40 X-0.25"},
        {"G0 X1. Y+2", "G0 X1 Y2"},
        {"N10 G1 X1 (move) Z-0.5 ; the rest is ignored X9", "N10 G1 X1 Z-0.5"},
        {";REM Perform Platen cut: start at: 11.0000", ""},
        {"(only a comment)", ""},
        {"  ", ""},
        {"%", ""},
        {"/G0 X3", "G0 X3"},
        {"G 0 X 1.5", "G0 X1.5"},
        {"#100=2.5", "#100=2.5"},
        {"G0 X#100 #101=#100", "G0 X#100 #101=#100"},
    };
    for (const auto& row : rows) {
        const ParsedBlock block = ParseGCodeLine(QString::fromLatin1(row.line));
        EXPECT_TRUE(block.error.isEmpty()) << row.line << ": " << block.error.toStdString();
        EXPECT_EQ(Render(block), QString::fromLatin1(row.words)) << row.line;
    }
}

TEST(GCodeParser, ReportsMalformedLinesAndKeepsNoWords)
{
    const char* rows[] = {
        "G0 X",           // number missing
        "G0 X-",          // sign without digits
        "G0 X.",          // point without digits
        "G0 X1.2.3",      // second decimal point
        "G0 E1",          // not a word letter
        "G0 X1e5",        // exponent: 'e' is not a word
        "G0 (unclosed",   // comment never closed
        "G0 X1 @",        // stray character
        "#=5",            // variable number missing
        "#100 5",         // '=' missing
        "#99999=1",       // variable out of range
        "G0 X#1.5",       // fractional variable number
        "G0 X123456789012",  // beyond any machine
        "G0 \xc3\x9c\x31",    // a letter that is no G-code word ("U" with umlaut, then 1)
    };
    for (const char* line : rows) {
        const ParsedBlock block = ParseGCodeLine(QString::fromUtf8(line));
        EXPECT_FALSE(block.error.isEmpty()) << line;
        EXPECT_TRUE(block.words.isEmpty() && block.settings.isEmpty()) << line;
    }
}

TEST(GCodeInterpreter, TurnsWordsIntoMachineTargetsAndRates)
{
    // Machine at (1, 2, 3), work offset (1, 0, -1): work X0 is machine X1.
    const struct
    {
        const char* line;
        AxisVector target;
        double rate;
        bool probe;
    } rows[] = {
        {"G0 X5", {6, 2, 3, 0, 0, 0}, 100, false},
        {"G1 Z0 F12", {1, 2, -1, 0, 0, 0}, 12, false},
        {"G1 Y1", {1, 1, 3, 0, 0, 0}, 20, false},  // modal feed
        {"G91 G0 X1 Y-1", {2, 1, 3, 0, 0, 0}, 100, false},
        {"G31 Z-10", {1, 2, -11, 0, 0, 0}, 20, true},
        {"G0 X#100", {5, 2, 3, 0, 0, 0}, 100, false},  // #100 = 4
        {"G1 A90 F360", {1, 2, 3, 90, 0, 0}, 360, false},
    };
    for (const auto& row : rows) {
        const BlockPlan plan = Plan(row.line);
        ASSERT_TRUE(plan.error.isEmpty()) << row.line << ": " << plan.error.toStdString();
        ASSERT_EQ(plan.steps.size(), 1) << row.line;
        const BlockStep& step = plan.steps.first();
        EXPECT_EQ(step.kind, BlockStep::Kind::Move) << row.line;
        EXPECT_EQ(step.target, row.target) << row.line;
        EXPECT_DOUBLE_EQ(step.rate, row.rate) << row.line;
        EXPECT_EQ(step.probe, row.probe) << row.line;
    }

    // The modal motion mode and distance mode of the context apply when the line names none.
    BlockContext incremental = Context();
    incremental.absolute = false;
    incremental.motionMode = MotionMode::Feed;
    const BlockPlan plan = Plan("X1", incremental);
    ASSERT_EQ(plan.steps.size(), 1);
    EXPECT_EQ(plan.steps.first().target, (AxisVector{2, 2, 3, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(plan.steps.first().rate, 20);
}

TEST(GCodeInterpreter, RunsTheStepsOfOneLineInOrder)
{
    const BlockPlan plan = Plan("G4 P1.5 G0 X2 M6666 M30 M8 S1200 M3 F30 #7=1");
    ASSERT_TRUE(plan.error.isEmpty()) << plan.error.toStdString();
    ASSERT_EQ(plan.steps.size(), 4);
    EXPECT_EQ(plan.steps[0].kind, BlockStep::Kind::Dwell);
    EXPECT_DOUBLE_EQ(plan.steps[0].dwellMs, 1500.0);  // P is in seconds
    EXPECT_EQ(plan.steps[1].kind, BlockStep::Kind::Move);
    EXPECT_EQ(plan.steps[2].kind, BlockStep::Kind::Macro);
    EXPECT_EQ(plan.steps[2].macro, 6666);
    EXPECT_EQ(plan.steps[3].kind, BlockStep::Kind::ProgramEnd);
    EXPECT_TRUE(plan.floodOn);
    EXPECT_EQ(plan.spindle, SpindleState::Clockwise);
    EXPECT_EQ(plan.spindleSpeed, 1200.0);
    EXPECT_EQ(plan.feed, 30.0);
    ASSERT_EQ(plan.settings.size(), 1);
    EXPECT_EQ(plan.settings.first(), std::make_pair(7, 1.0));
}

TEST(GCodeInterpreter, RefusesWholeLinesItCannotRunSafely)
{
    BlockContext noFeed = Context();
    noFeed.feed = 0.0;
    BlockContext noRapid = Context();
    noRapid.rapid = 0.0;
    const struct
    {
        const char* line;
        BlockContext context;
    } rows[] = {
        {"G1 X1", noFeed},        // would never arrive
        {"G0 X1", noRapid},
        {"G31 Y1", noFeed},
        {"G2 X1 Y1 I1", Context()},  // arcs are not modelled
        {"G31.1 X1", Context()},
        {"M98", Context()},       // no macro file
        {"M3.5", Context()},
        {"G0 G1 X1", Context()},
        {"G20 G21", Context()},
        {"G90 G91", Context()},
        {"M3 M4", Context()},
        {"M2 M30", Context()},
        {"M8 M9", Context()},
        {"G0 X1 X2", Context()},
        {"F10 F20", Context()},
        {"G4", Context()},
        {"G4 P-1", Context()},
        {"F-5", Context()},
        {"S-100", Context()},
        {"T1.5", Context()},
        {"T#2000", Context()},    // a probed value far beyond any tool number
        {"G0 X(", Context()},     // parser errors reach the plan too
    };
    for (const auto& row : rows) {
        const BlockPlan plan = Plan(row.line, row.context);
        EXPECT_FALSE(plan.error.isEmpty()) << row.line;
        EXPECT_TRUE(plan.steps.isEmpty()) << row.line;
        EXPECT_FALSE(plan.feed || plan.spindle || plan.motionMode || plan.mistOn || plan.tool)
            << row.line;
    }
}

TEST(MacroScript, ReadsTheStatementsScriptButtonsUse)
{
    using Kind = MacroStatement::Kind;
    const struct
    {
        const char* line;
        Kind kind;
        const char* text;
        int code;
        double value;
    } rows[] = {
        {"Code \"G0 X1\"", Kind::Code, "G0 X1", 0, 0},
        {"code(\"M3\")", Kind::Code, "M3", 0, 0},
        {"Call Code(\"G4 P1\") ' wait", Kind::Code, "G4 P1", 0, 0},
        {"DoOEMButton(1003)", Kind::DoOEMButton, "", 1003, 0},
        {"DoOEMButton 1021", Kind::DoOEMButton, "", 1021, 0},
        {"SetOEMDRO(818, 40.5)", Kind::SetOEMDRO, "", 818, 40.5},
        {"setoemdro 802, -1", Kind::SetOEMDRO, "", 802, -1},
        {"Message \"say \"\"hi\"\"\"", Kind::Message, "say \"hi\"", 0, 0},
        {"Message(\"done\")", Kind::Message, "done", 0, 0},
        {"", Kind::Nothing, "", 0, 0},
        {"' a comment", Kind::Nothing, "", 0, 0},
        {"Rem another", Kind::Nothing, "", 0, 0},
        {"x = GetOEMDRO(800)", Kind::Unsupported, nullptr, 0, 0},
        {"While IsMoving()", Kind::Unsupported, nullptr, 0, 0},
        {"Code \"G0 X\" & x", Kind::Unsupported, nullptr, 0, 0},
        {"Code \"unclosed", Kind::Unsupported, nullptr, 0, 0},
        {"Code(\"G0\"", Kind::Unsupported, nullptr, 0, 0},
        {"DoOEMButton(40000)", Kind::Unsupported, nullptr, 0, 0},  // beyond 16 bits
        {"DoOEMButton(\"1003\")", Kind::Unsupported, nullptr, 0, 0},
        {"SetOEMDRO(818)", Kind::Unsupported, nullptr, 0, 0},
    };
    for (const auto& row : rows) {
        const MacroStatement statement = ParseMacroLine(QString::fromLatin1(row.line));
        EXPECT_EQ(statement.kind, row.kind) << row.line;
        if (row.kind == Kind::Unsupported || statement.kind != row.kind)
            continue;
        EXPECT_EQ(statement.text, QString::fromLatin1(row.text)) << row.line;
        EXPECT_EQ(statement.code, row.code) << row.line;
        EXPECT_DOUBLE_EQ(statement.value, row.value) << row.line;
    }
}
