// What the browser page draws of a run: the beam with its loads and
// reactions, its shear force, bending moment and deflected shape, described
// as text by the same code that writes the report. Pure; no I/O.
#pragma once

#include <iterator>
#include <string>

#include "analysis/beam.h"

namespace beam {

/// How many equal parts of the beam the described sections divide it into.
inline constexpr int kPictureParts = 48;

/// One kind of line of the picture's description: its name, how many
/// columns follow the name (-1: the rest of the line is one text), and
/// what they are.
struct PictureLine {
  const char* name;
  int columns;
  const char* meaning;
};

/// The description's contract, in the order its lines come. A line is its
/// name and its columns, each after one blank. Values are written as the
/// report writes numbers (formatValue), with no unit: the unit words come
/// on lines of their own, as typed, and may be empty. T is a place on the
/// beam as a fraction of L from A, with 17 significant digits. Every sign,
/// direction, mark and side is decided here; the page only draws what it
/// is told (web/picture_logic.js reads this table, and its tests check
/// the page against it, as tests/beam_test.cpp checks the writer).
inline constexpr PictureLine kPictureLines[] = {
    {"picture", 0, "a picture follows: the first line"},
    {"none", -1, "instead, the one line: the sentence that says why there is no picture"},
    {"weightUnit", 1, "W's unit word"},
    {"forceUnit", 1, "the forces' unit word"},
    {"lengthUnit", 1, "the lengths' unit word"},
    {"L", 1, "the length"},
    {"load", 2,
     "W, and the way the load acts: down, up, none (W is 0), or underflow (the total "
     "load is too small for a double, so the report's is 0); for none and underflow no "
     "line below but the reactions and the horizontal forces"},
    {"totalLoad", 2, "the report's total load (L x 0.5) x W, and where it acts, from A"},
    {"Ay", 2, "the report's reaction at A, and the way it acts: up, down, or none"},
    {"By", 2, "the report's reaction at B, and the way it acts: up, down, or none"},
    {"Ax", 2,
     "where the report has one: the force at A, and the way it acts: right for a "
     "positive one (the report's -->), left"},
    {"Bx", 2,
     "where the report has one: the force at B, and the way it acts: left for a "
     "positive one (the report's <--), right"},
    {"shear", 2, "V at A and at B: the report's Ay and -By"},
    {"zeroShear", 2, "T and the distance from A where V is 0"},
    {"largestMoment", 4,
     "T, the bending moment largest in size, its distance from A, and the "
     "side of the axis its label takes (above, below: away from the curve)"},
    {"largestDeflection", 3,
     "T, the distance from A where the beam moves most, and the side "
     "of the axis its label takes"},
    {"section", 4,
     "kPictureParts + 1 of them, T from 0 to 1: V, M and the deflection there, "
     "each a fraction of its largest size (sectionShape), above the axis where "
     "positive"},
    {"report", 1, "how many lines the report has (its last line is the program's last)"},
    {"mark", -1,
     "for each line of the report that speaks of a part of this picture (kMarkedLines): its "
     "number in the report, from 1, and the parts it marks, each after one blank"},
};

/// Which lines of the report (analysis/report.h) speak of which parts of
/// the picture, for the page to mark one when the other is pointed at. A
/// line is in a block: the vertical report (kVerticalBlock) or the block of
/// one HorizontalCase (its value), numbered from 1 there; it holds its
/// kMarkedLineHolds as the report writes it. Its parts, one blank between: load (W
/// and the load), totalLoad (its arrow where it acts), leftDistance and
/// rightDistance (from A to where it acts, and on to B: its lever arm about
/// A is the first), L (the length: By's lever arm about A), Ay, By, Ax, Bx
/// (the forces' arrows). A run's description has a mark line for every
/// row of its blocks; the page marks those of its parts that its picture
/// draws (no load: no total load; a reaction of 0: no arrow).
struct MarkedLine {
  int block;
  int line;
  const char* parts;
};

/// MarkedLine::block for the vertical report (printVerticalReport).
inline constexpr int kVerticalBlock = -1;

inline constexpr MarkedLine kMarkedLines[] = {
    {kVerticalBlock, 2, "load"},
    {kVerticalBlock, 4, "totalLoad Ay By"},
    {kVerticalBlock, 5, "Ax Bx"},
    {kVerticalBlock, 7, "totalLoad"},
    {kVerticalBlock, 9, "leftDistance"},
    {kVerticalBlock, 10, "rightDistance"},
    {kVerticalBlock, 11, "totalLoad leftDistance rightDistance"},
    {kVerticalBlock, 13, "totalLoad leftDistance By L"},
    {kVerticalBlock, 14, "totalLoad leftDistance By L"},
    {kVerticalBlock, 15, "totalLoad leftDistance By L"},
    {kVerticalBlock, 16, "By L"},
    {kVerticalBlock, 17, "By"},
    {kVerticalBlock, 18, "By"},
    {kVerticalBlock, 19, "totalLoad Ay By"},
    {kVerticalBlock, 20, "totalLoad Ay By"},
    {kVerticalBlock, 21, "Ay"},
    {kVerticalBlock, 22, "Ay"},
    {kVerticalBlock, 25, "Ay"},
    {kVerticalBlock, 26, "By"},
    {static_cast<int>(HorizontalCase::BxOnly), 1, "Bx"},
    {static_cast<int>(HorizontalCase::BxOnly), 2, "Bx"},
    {static_cast<int>(HorizontalCase::BxOnly), 3, "Bx"},
    {static_cast<int>(HorizontalCase::AxOnly), 1, "Ax"},
    {static_cast<int>(HorizontalCase::AxOnly), 2, "Ax"},
    {static_cast<int>(HorizontalCase::AxOnly), 3, "Ax"},
    {static_cast<int>(HorizontalCase::BothForces), 3, "Ax Bx"},
    {static_cast<int>(HorizontalCase::BothForces), 4, "Ax Bx"},
    {static_cast<int>(HorizontalCase::BothForces), 5, "Ax Bx"},
};

/// What the line of each row of kMarkedLines holds, in the table's order
/// (kept apart: the program needs only the table).
inline constexpr const char* kMarkedLineHolds[] = {
    " The Ating Weight",
    "Ay + By = ",
    "(+/-)Ax + (+/-)Bx",
    " The Acting Vertial Force",
    " ==> Left Distance",
    " ==> Right Distance",
    " The Center Of The Force",
    " Sum Of The Moment At Point A",
    " -1 * ",
    " x By = 0",
    " By = ",
    " By = ",
    " By = ",
    "From Eq-1",
    " Ay = ",
    " Ay = ",
    " Ay = ",
    " Ay = ",
    " By = ",
    " Ax - Bx = 0 + ",
    " -Bx = ",
    " Bx = ",
    " Ax - Bx = ",
    " Ax  = ",
    " Ax  = ",
    " Ax - Bx = ",
    " Ax - Bx = ",
    " Ax  - Bx = ",
};
static_assert(std::size(kMarkedLineHolds) == std::size(kMarkedLines));

/// Describes the picture of a run by kPictureLines. When there is nothing
/// sound to draw, the description is the one line "none SENTENCE": not
/// every answer was read (`complete` false), L is not greater than 0, or a
/// value to draw is too large for a double (the sentence names it).
/// Example: L 6, W 2, Ax 0, Bx 0, units kN/m, kN, m -> "picture\n
/// weightUnit kN/m\nforceUnit kN\nlengthUnit m\nL 6\nload 2 down\n
/// totalLoad 6 2\nAy 4 up\nBy 2 up\nshear 4 -2\nzeroShear
/// 4.2264973081037427e-01 2.5359\nlargestMoment 4.2264973081037427e-01
/// 4.6188 2.5359 below\n...section 1 -5.0000000000000000e-01 0 0\nreport 34\n
/// mark 2 load\nmark 4 totalLoad Ay By\nmark 5 Ax Bx\n...mark 26 By\n".
/// Example: L 0 -> "none There is no picture of this run: the length L
/// must be greater than 0, and it is 0 m.\n".
std::string describeBeamPicture(const BeamProblem& problem, bool complete);

}  // namespace beam
