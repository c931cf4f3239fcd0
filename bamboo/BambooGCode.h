#pragma once

#include <QString>

// Generators of the G-code programs run by the bamboo milling window: platen cut, test height
// cut and reel-seat mortise. Lengths are inches, feeds are F-word values. The generators keep
// no state, talk to no host and show nothing; they are called on the user-interface thread.
//
// Every program is plain ASCII, one block or comment per line, each line ended by CR LF, with
// no header, line numbers or program-end word.
//
// Common failure contract of the three writers:
// - Parameters are checked before the file is touched. A non-finite value, or a pass depth
//   that cannot reach the roughing floor (0 or less while passes are still needed), or one so
//   small that it would need an absurd number of passes, raises ZentyrError and leaves any
//   existing file untouched.
// - The program is written whole or not at all: it goes to a temporary file beside the target
//   that replaces the target only after every byte was written. An I/O failure raises
//   ZentyrError carrying the operating system's error text and leaves any older file as it was.

// One number as the generators write it: fixed point, exactly four decimals rounded to the
// nearest 0.0001, a leading '-' only when the rounded value is not zero, no grouping and no
// exponent. The separator is always a point whatever the user's regional settings are, since
// the controller reads nothing else.
QString FormatFixed4(double value);

// Platen cut: roughing passes run in -X from xStart + cutLength - finalPass to
// xStart + finalPass, stepping down from zStart by passDepth to the floor
// zStart - removeDepth + finalPass (always at least one pass, the last at the floor); when
// finalPass is not 0 a finishing pass at zStart - removeDepth spans the full length and the
// program ends with spindle and coolant off and a retract to safeZ. rapidFeed is not used.
// Returns true; failures raise ZentyrError.
bool WritePlatenCutFile(const QString& path, double xStart, double zStart, double safeZ,
                        double cutLength, double removeDepth, double passDepth, double finalPass,
                        double rapidFeed, double cutFeed, double plungeFeed);

// Test height cut: like the platen cut but running in +X from xStart, with every Z plunge at
// cutFeed; rapidFeed and plungeFeed are not used and the spindle is never stopped.
// Returns true; failures raise ZentyrError.
bool WriteTestHeightCutFile(const QString& path, double xStart, double zStart, double safeZ,
                            double cutLength, double removeDepth, double passDepth,
                            double finalPass, double rapidFeed, double cutFeed,
                            double plungeFeed);

// Reel-seat mortise below the seat surface at Z 0: roughing strokes in -X from
// xStart - finalPass to xStart - cutLength + finalPass (Y 0 to yOffset) at -passDepth,
// -2 * passDepth ... while they lie above the floor finalPass - removeDepth, then always one
// finishing stroke back at -removeDepth over the full length. Note the order of the feeds,
// which differs from the other two writers. A passDepth of 0 is accepted when no roughing
// pass is needed (finalPass equal to removeDepth). Failures raise ZentyrError.
void WriteReelSeatMortiseFile(const QString& path, double xStart, double yOffset,
                              double cutLength, double removeDepth, double passDepth,
                              double finalPass, double cutFeed, double plungeFeed,
                              double rapidFeed);
