#include "FakeController.h"
#include "lcnc/GCodeDialect.h"
#include "lcnc/LcncConfig.h"
#include "lcnc/LcncDispatcher.h"
#include "lcnc/MachTranslation.h"
#include "sim/OemCodes.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lcnchost;
using namespace hostlink;

TEST(GCodeDialect, ProbingWordsBecomeLinuxCncsAndNothingElseChanges)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {
        {"g31 F1 Y1.2000", "G38.3 F1 Y1.2000"},
        {"G31Z-10", "G38.3Z-10"},
        {"G 031 X2", "G38.3 X2"},
        {"G31.0 X2", "G38.3 X2"},
        {"G31.1 X2", "G31.1 X2"},
        {"G1 G31 X1", "G1 G38.3 X1"},
        {"G0 X31 (G31 in a comment)", "G0 X31 (G31 in a comment)"},
        {"G0 X1 ; G31 after the comment sign", "G0 X1 ; G31 after the comment sign"},
        {"(unclosed G31", "(unclosed G31"},
        {"G131 X1", "G131 X1"},
        {"M3 S1000", "M3 S1000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TranslateLine(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
    EXPECT_EQ(MdiLinesFor(QStringLiteral(" G0 X1 \r\n\n\rG1 Y2\r")),
              QStringList({QStringLiteral("G0 X1"), QStringLiteral("G1 Y2")}));
    EXPECT_TRUE(MdiLinesFor(QStringLiteral("\n \r\n")).isEmpty());
}

TEST(LcncConfig, ReadsWhatTheHostNeedsRelativeToTheIniFile)
{
    QTemporaryDir folder;
    QFile ini(folder.filePath(QStringLiteral("mill.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("# comment\n[EMC]\nMACHINE = Mill One\nNML_FILE = nml/my.nml\n; also a comment\n"
              "[TRAJ]\nMAX_LINEAR_VELOCITY = 2.5\nMAX_LINEAR_VELOCITY = 9\n[DISPLAY]\nPROGRAM_PREFIX = ../gcode\n"
              "[AXIS_Z]\nMAX_LIMIT = 0.5\n[ZENTYR]\nSAFE_Z = 2\n");
    ini.close();
    LcncConfig config;
    QString error;
    ASSERT_TRUE(ReadLcncConfig(ini.fileName(), config, &error)) << error.toStdString();
    EXPECT_EQ(config.machine, QStringLiteral("Mill One"));
    EXPECT_EQ(config.nmlFile, QDir(folder.path()).filePath(QStringLiteral("nml/my.nml")));
    EXPECT_EQ(config.programFolder, QDir::cleanPath(folder.path() + QStringLiteral("/../gcode")));
    EXPECT_DOUBLE_EQ(config.maxVelocity, 2.5);  // the first entry counts
    EXPECT_DOUBLE_EQ(config.safeZ, 0.5);        // never above Z's travel

    ASSERT_TRUE(ReadLcncConfig(QString(), config, &error));
    EXPECT_EQ(config.nmlFile, QString::fromLatin1(DefaultNmlFile));
    EXPECT_DOUBLE_EQ(config.safeZ, 1.0);
    EXPECT_FALSE(ReadLcncConfig(folder.filePath(QStringLiteral("missing.ini")), config, &error));
    EXPECT_TRUE(error.contains(QLatin1String("missing.ini")));
}

// The configuration shipped for the simulated mill: the host reads it as intended.
TEST(LcncConfig, ShippedMillIsInchesAt200InchesPerMinute)
{
    LcncConfig config;
    QString error;
    ASSERT_TRUE(ReadLcncConfig(QStringLiteral(LCNC_CONFIG_DIR "/zentyr-mill.ini"), config, &error));
    EXPECT_NEAR(config.maxVelocity * 60.0, 200.0, 0.01);
    EXPECT_DOUBLE_EQ(config.safeZ, 1.0);
    EXPECT_EQ(config.nmlFile, QString::fromLatin1(DefaultNmlFile));
}

namespace {

LinkRequest Request(LinkOp op, std::initializer_list<WireValue> args = {})
{
    LinkRequest r;
    r.seq = 7;
    r.op = op;
    for (const WireValue& a : args)
        r.args[size_t(r.argCount++)] = a;
    return r;
}

}  // namespace

TEST(LcncDispatcher, AnswersTheLinkAndTurnsRefusalsIntoErrorReplies)
{
    FakeController lcnc;
    MachTranslation host(lcnc, {1.0, QString(), 1.0});
    LcncDispatcher dispatcher(host);
    LinkReply reply;

    dispatcher.Handle(Request(LinkOp::WindowCaption), reply);
    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(reply.seq, 7u);
    EXPECT_EQ(reply.result.text, QStringLiteral("Mach3 CNC Controller "));

    dispatcher.Handle(Request(LinkOp::GetOEMLed, {WireValue::OfInt16(800)}), reply);
    EXPECT_TRUE(reply.ok && reply.result.type == WireType::Bool && reply.result.boolean);

    dispatcher.Handle(Request(LinkOp::DoOEMButton, {WireValue::OfInt16(307)}), reply);
    EXPECT_FALSE(reply.ok);
    EXPECT_TRUE(reply.error.contains(QLatin1String("in reset")));

    lcnc.gone = true;
    dispatcher.Handle(Request(LinkOp::GetOEMDRO, {WireValue::OfInt16(800)}), reply);
    EXPECT_FALSE(reply.ok);
    EXPECT_TRUE(reply.error.contains(QLatin1String("LinuxCNC")));
    dispatcher.Handle(Request(LinkOp::Hello, {WireValue::OfInt16(1)}), reply);
    EXPECT_TRUE(reply.ok);  // the link itself still answers
}

TEST(LcncDispatcher, ADroppedClientStopsTheJogsOnly)
{
    FakeController lcnc;
    lcnc.On();
    MachTranslation host(lcnc, {1.0, QString(), 1.0});
    LcncDispatcher dispatcher(host);
    LinkReply reply;
    dispatcher.Handle(Request(LinkOp::DoOEMButton, {WireValue::OfInt16(309)}), reply);
    ASSERT_TRUE(reply.ok) << reply.error.toStdString();
    lcnc.status.jogging = true;
    lcnc.status.interp = InterpState::Waiting;  // and something else runs
    lcnc.journal.clear();
    dispatcher.ClientDisconnected();
    EXPECT_EQ(lcnc.journal.join(QLatin1Char('|')),
              QStringLiteral("JogStop(0, joint)|JogStop(1, joint)|JogStop(2, joint)"));
}

// Every code Zentyr's windows use is either carried out on LinuxCNC or listed, with what
// happens instead, in the table of codes LinuxCNC does not honour.
TEST(LcncCodes, EveryCodeTheWindowsUseIsHonouredOrListed)
{
    using namespace hostsim::oem;
    const int buttons[] = {ButtonCode(obtGoto_Safe_Z), ButtonCode(obtHome_ZXYABC_set_machine_coords),
                           ButtonCode(obtMach_coords), ButtonCode(obtFlood_Toggle), ButtonCode(obtMist_Toggle),
                           ButtonCode(obtClose_current_file), ButtonCode(obtSpindle_actual_Toggle),
                           ButtonCode(obtJog_mode_Toggle), ButtonCode(obtJog_mode_Continuous),
                           ButtonCode(obtJog_mode_Step), 265, 266, 267, 268, 269, 307, 308, 309, 310, 311, 312,
                           313, 314, ButtonCode(obtRegen_toolpath_display), ButtonCode(obtRun_Reverse),
                           ButtonCode(obtCycle_start), ButtonCode(obtPause), ButtonCode(obtRewind),
                           ButtonCode(obtStop), ButtonCode(obtSingle), ButtonCode(obtZero_X),
                           ButtonCode(obtZero_Y), ButtonCode(obtZero_Z), ButtonCode(obtRun_from_here),
                           ButtonCode(obtReset), 1022, 1023, 1024, 1025, 1026, 1027};
    const int leds[] = {LedCode(oltMist), LedCode(oltFlood), LedCode(oltMach_coords_warn), LedCode(oltJog_mode_Cont),
                        LedCode(oltPause_Active), LedCode(oltSingle_Step_Mode_Active), LedCode(oltJogging_Enabled),
                        LedCode(oltSpindle_is_Running), LedCode(oltReset), 2, 113, 807, 808, 809, 810, 811, 812,
                        828, 829, 830, 831, 832, 833, 834, 835, 836, 837, 838, 839, 840, 841, 842, 843, 844, 845};
    const int dros[] = {DroCode(odtJog_Inc_Inc), DroCode(odtRapid_feedrate), 800, 801, 802, 803, 804, 805,
                        DroCode(odtCurr_Line_no), DroCode(odtSpindle_requested), DroCode(odtFeedrate),
                        DroCode(odtFeedrate_Override), DroCode(odtJog_Inc),
                        DroCode(odtFeedrate_for_use_with_MPG_step_jogs)};

    QFile doc(QStringLiteral(LCNC_CODES_DOC));
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly | QIODevice::Text)) << LCNC_CODES_DOC;
    const QString all = QString::fromUtf8(doc.readAll());
    const qsizetype section = all.indexOf(QLatin1String("## Not honoured"));
    ASSERT_GE(section, 0);
    const QString text = all.mid(section);
    // Table rows of the unhonoured codes: "| button | 279 | ..." or "| lamp | 810-812 | ...".
    QMap<QString, QList<int>> listed;
    static const QRegularExpression row(QStringLiteral(R"(^\|\s*(button|lamp|readout)\s*\|\s*([0-9, \-]+)\|)"),
                                        QRegularExpression::MultilineOption);
    for (auto m = row.globalMatch(text); m.hasNext();) {
        const auto match = m.next();
        for (const QString& part : match.captured(2).split(u',', Qt::SkipEmptyParts)) {
            const QStringList range = part.trimmed().split(u'-');
            const int from = range[0].toInt();
            const int to = range.size() > 1 ? range[1].toInt() : from;
            for (int code = from; code <= to; ++code)
                listed[match.captured(1)] += code;
        }
    }
    const auto check = [&](const char* kind, std::span<const int> codes, const QList<int>& honoured) {
        for (int code : codes) {
            const bool isHonoured = honoured.contains(code);
            const bool isListed = listed.value(QLatin1String(kind)).contains(code);
            EXPECT_TRUE(isHonoured != isListed) << kind << " " << code
                                                << (isHonoured ? " is honoured and listed" : " is neither");
        }
    };
    check("button", buttons, MachTranslation::HonouredButtons());
    check("lamp", leds, MachTranslation::HonouredLeds());
    check("readout", dros, MachTranslation::HonouredDros());
}
