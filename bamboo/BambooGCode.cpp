#include "bamboo/BambooGCode.h"

#include "platform/WholeFile.h"
#include "platform/ZentyrError.h"

#include <QByteArray>
#include <QDir>
#include <QLatin1String>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace {

// A z level this close to the roughing floor counts as the floor. The tolerance absorbs the
// rounding of repeated floating-point subtraction; the two loop shapes compare against it in
// opposite senses (platen and test stop below it, the mortise cuts only above it).
constexpr double kFloorTolerance = 0.0005;

// More roughing passes than this means a pass depth far below anything a mill can cut; the
// program would run to gigabytes before it ended, so it is refused instead.
constexpr std::size_t kMaxRoughingPasses = 100000;

struct Parameter
{
    QLatin1String name;
    double value;
};

void requireFinite(std::initializer_list<Parameter> parameters)
{
    for (const Parameter& parameter : parameters) {
        if (!std::isfinite(parameter.value))
            throw ZentyrError(QStringLiteral("The %1 is not a valid number.").arg(parameter.name));
    }
}

[[noreturn]] void refusePassDepth(double passDepth)
{
    throw ZentyrError(QStringLiteral("The pass depth (%1) must be greater than 0 to cut down "
                                     "to the full depth.")
                          .arg(FormatFixed4(passDepth)));
}

[[noreturn]] void refuseTooManyPasses(double passDepth)
{
    throw ZentyrError(QStringLiteral("The pass depth (%1) would need more than %2 roughing "
                                     "passes.")
                          .arg(FormatFixed4(passDepth))
                          .arg(kMaxRoughingPasses));
}

// Formats a number that goes into the program. Sums of finite parameters can still overflow,
// and "inf" or "nan" in a block would be misread by the controller.
QString num(double value)
{
    if (!std::isfinite(value))
        throw ZentyrError(QStringLiteral("A position of the G-code program is out of range."));
    return FormatFixed4(value);
}

// Roughing levels of the platen and test programs: a loop that always cuts at least once and
// whose last pass is at the floor. A pass depth of 0 or less is accepted only when the first
// pass already lands on the floor; otherwise the levels would never reach it.
std::vector<double> stepDownLevels(double zStart, double removeDepth, double passDepth,
                                   double finalPass)
{
    const double floor = zStart - removeDepth + finalPass;
    std::vector<double> levels;
    double z = zStart;
    for (;;) {
        z = std::max(z - passDepth, floor);
        levels.push_back(z);
        if (std::abs(z - floor) < kFloorTolerance)
            return levels;
        if (passDepth <= 0.0)
            refusePassDepth(passDepth);
        if (levels.size() >= kMaxRoughingPasses)
            refuseTooManyPasses(passDepth);
    }
}

// Roughing levels of the mortise: -passDepth, -2 * passDepth ... while they lie above the
// floor; the floor itself is left to the finishing stroke. A pass depth of 0 or less is
// accepted only when no pass is needed at all.
std::vector<double> mortiseLevels(double removeDepth, double passDepth, double finalPass)
{
    const double floor = finalPass - removeDepth;
    std::vector<double> levels;
    double z = std::max(floor, -passDepth);
    while (std::abs(z - floor) > kFloorTolerance) {
        if (passDepth <= 0.0)
            refusePassDepth(passDepth);
        if (levels.size() >= kMaxRoughingPasses)
            refuseTooManyPasses(passDepth);
        levels.push_back(z);
        z = std::max(z - passDepth, floor);
    }
    return levels;
}

// Collects the lines of one program, each ended by CR LF.
class ProgramText final
{
public:
    void line(const QString& text)
    {
        m_text += text;
        m_text += QLatin1String("\r\n");
    }

    // Every text of a program is ASCII, so Latin-1 encodes it byte for byte.
    QByteArray bytes() const { return m_text.toLatin1(); }

private:
    QString m_text;
};

[[noreturn]] void raiseWriteError(const QString& path, const QString& reason)
{
    throw ZentyrError(QStringLiteral("Could not write the G-code file \"%1\": %2")
                          .arg(QDir::toNativeSeparators(path), reason));
}

// Replaces the file at path with the program, or leaves whatever was there untouched.
void writeProgram(const QString& path, const ProgramText& program)
{
    if (const std::optional<QString> failure = WriteWholeFile(path, program.bytes()))
        raiseWriteError(path, *failure);
}

} // namespace

QString FormatFixed4(double value)
{
    // QString::number ignores the locale: always a point, no grouping, no exponent in 'f' mode.
    QString text = QString::number(value, 'f', 4);
    // A value that rounds to zero is written as zero; "-0.0000" only confuses a reader.
    if (text == QLatin1String("-0.0000"))
        text.remove(0, 1);
    return text;
}

bool WritePlatenCutFile(const QString& path, double xStart, double zStart, double safeZ,
                        double cutLength, double removeDepth, double passDepth, double finalPass,
                        double /*rapidFeed*/, double cutFeed, double plungeFeed)
{
    requireFinite({{QLatin1String("X start"), xStart},
                   {QLatin1String("Z start"), zStart},
                   {QLatin1String("safe Z"), safeZ},
                   {QLatin1String("length to cut"), cutLength},
                   {QLatin1String("depth to remove"), removeDepth},
                   {QLatin1String("pass depth"), passDepth},
                   {QLatin1String("final pass"), finalPass},
                   {QLatin1String("cut feed"), cutFeed},
                   {QLatin1String("plunge feed"), plungeFeed}});
    const std::vector<double> levels = stepDownLevels(zStart, removeDepth, passDepth, finalPass);

    ProgramText program;
    program.line(QStringLiteral(";REM Perform Platen cut: start at: ") + num(xStart + cutLength)
                 + QStringLiteral(" for ") + num(cutLength) + QStringLiteral(" inches"));
    program.line(QStringLiteral(";REM End at: ") + num(xStart));
    program.line(QStringLiteral(";REM Z Zstart at: ") + num(zStart) + QStringLiteral(" remove: ")
                 + num(zStart - removeDepth) + QStringLiteral(" inches"));
    program.line(QStringLiteral("G0 Z") + num(safeZ));
    program.line(QStringLiteral("G0 x") + num(xStart + cutLength - finalPass));
    program.line(QStringLiteral("M7"));
    program.line(QStringLiteral("G4 P2"));
    program.line(QStringLiteral("M8"));
    program.line(QStringLiteral("G4 P2"));
    program.line(QStringLiteral("M3"));
    for (const double z : levels) {
        program.line(QStringLiteral("G0 X") + num(xStart + cutLength - finalPass));
        program.line(QStringLiteral("G01 F") + num(plungeFeed) + QStringLiteral(" Z") + num(z));
        program.line(QStringLiteral("F") + num(cutFeed) + QStringLiteral("X")
                     + num(xStart + finalPass));
        program.line(QStringLiteral("G0 Z") + num(z + 0.1));
    }
    // Without a finishing allowance the last roughing pass already went to full depth; the
    // program then ends there, with no stop of spindle and coolant and no retract.
    if (finalPass != 0.0) {
        program.line(QStringLiteral("G0 X") + num(xStart + cutLength));
        program.line(QStringLiteral("G01 F") + num(plungeFeed) + QStringLiteral(" Z")
                     + num(zStart - removeDepth));
        program.line(QStringLiteral("F") + num(cutFeed) + QStringLiteral("X") + num(xStart));
        program.line(QStringLiteral("M5"));
        program.line(QStringLiteral("M9"));
        program.line(QStringLiteral("G0 Z") + num(safeZ));
    }
    writeProgram(path, program);
    return true;
}

bool WriteTestHeightCutFile(const QString& path, double xStart, double zStart, double safeZ,
                            double cutLength, double removeDepth, double passDepth,
                            double finalPass, double /*rapidFeed*/, double cutFeed,
                            double /*plungeFeed*/)
{
    requireFinite({{QLatin1String("X start"), xStart},
                   {QLatin1String("start height"), zStart},
                   {QLatin1String("safe Z"), safeZ},
                   {QLatin1String("length to cut"), cutLength},
                   {QLatin1String("depth to remove"), removeDepth},
                   {QLatin1String("pass depth"), passDepth},
                   {QLatin1String("final pass"), finalPass},
                   {QLatin1String("cut feed"), cutFeed}});
    const std::vector<double> levels = stepDownLevels(zStart, removeDepth, passDepth, finalPass);

    ProgramText program;
    program.line(QStringLiteral(";REM Perform Test cut: start at: ") + num(xStart)
                 + QStringLiteral(" for ") + num(cutLength) + QStringLiteral(" inches"));
    program.line(QStringLiteral(";REM Z Zstart at: ") + num(zStart)
                 + QStringLiteral(" to a depth of: ") + num(zStart - removeDepth));
    program.line(QStringLiteral("G0 Z") + num(safeZ));
    program.line(QStringLiteral("G0 x") + num(xStart));
    program.line(QStringLiteral("M7"));
    program.line(QStringLiteral("G4 P1"));
    program.line(QStringLiteral("M8"));
    program.line(QStringLiteral("G4 P1"));
    program.line(QStringLiteral("M3"));
    program.line(QStringLiteral("G4 P2"));
    for (const double z : levels) {
        program.line(QStringLiteral("G0 X") + num(xStart + finalPass));
        program.line(QStringLiteral("G01 F") + num(cutFeed) + QStringLiteral(" Z") + num(z));
        program.line(QStringLiteral("X") + num(xStart + cutLength - finalPass));
        program.line(QStringLiteral("G0 Z") + num(z + 0.1));
    }
    if (finalPass != 0.0) {
        program.line(QStringLiteral("G0 X") + num(xStart));
        program.line(QStringLiteral("G01 F") + num(cutFeed) + QStringLiteral(" Z")
                     + num(zStart - removeDepth));
        program.line(QStringLiteral("X") + num(xStart + cutLength));
        program.line(QStringLiteral("M9"));
        program.line(QStringLiteral("G0 Z") + num(safeZ));
    }
    writeProgram(path, program);
    return true;
}

void WriteReelSeatMortiseFile(const QString& path, double xStart, double yOffset,
                              double cutLength, double removeDepth, double passDepth,
                              double finalPass, double cutFeed, double plungeFeed,
                              double rapidFeed)
{
    requireFinite({{QLatin1String("X start"), xStart},
                   {QLatin1String("Y offset"), yOffset},
                   {QLatin1String("length to cut"), cutLength},
                   {QLatin1String("depth to remove"), removeDepth},
                   {QLatin1String("pass depth"), passDepth},
                   {QLatin1String("final pass"), finalPass},
                   {QLatin1String("cut feed"), cutFeed},
                   {QLatin1String("plunge feed"), plungeFeed},
                   {QLatin1String("rapid feed"), rapidFeed}});
    const std::vector<double> levels = mortiseLevels(removeDepth, passDepth, finalPass);

    const QString rapid = QStringLiteral("G01 F") + num(rapidFeed);
    const QString plunge = QStringLiteral("G01 F") + num(plungeFeed);
    const QString cut = QStringLiteral("G01 F") + num(cutFeed);

    ProgramText program;
    program.line(QStringLiteral(";REM Reel Seat Mortising: start at: ") + num(xStart)
                 + QStringLiteral(" for ") + num(cutLength) + QStringLiteral(" inches"));
    program.line(QStringLiteral(";REM Remove: ") + num(removeDepth) + QStringLiteral(" inches"));
    program.line(rapid + QStringLiteral(" Z0.1"));
    program.line(rapid + QStringLiteral(" X") + num(xStart - finalPass));
    program.line(QStringLiteral("M7"));
    program.line(QStringLiteral("G4 P2"));
    program.line(QStringLiteral("M8"));
    program.line(rapid + QStringLiteral(" Y0"));
    for (const double z : levels) {
        program.line(rapid + QStringLiteral(" X") + num(xStart - finalPass));
        program.line(rapid + QStringLiteral(" Y0"));
        program.line(plunge + QStringLiteral(" Z") + num(z));
        program.line(cut + QStringLiteral(" X") + num(xStart - cutLength + finalPass)
                     + QStringLiteral(" Y") + num(yOffset));
        program.line(rapid + QStringLiteral(" Z") + num(z + 0.01));
    }
    // The finishing stroke runs back from the far end, Y from yOffset to 0, at full depth.
    program.line(rapid + QStringLiteral(" X") + num(xStart - cutLength));
    program.line(rapid + QStringLiteral(" Y") + num(yOffset));
    program.line(plunge + QStringLiteral(" Z") + num(-removeDepth));
    program.line(cut + QStringLiteral(" X") + num(xStart) + QStringLiteral(" Y0"));
    program.line(rapid + QStringLiteral(" Z2"));
    program.line(QStringLiteral("M9"));
    writeProgram(path, program);
}
