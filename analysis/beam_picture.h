// What the browser page draws of a run: the beam with its loads and
// reactions, and its shear force and bending moment, described as text by
// the same code that writes the report. Pure; no I/O.
#pragma once

#include <string>

#include "analysis/beam.h"

namespace beam {

/// How many equal parts of the beam the described sections divide it into.
inline constexpr int kPictureParts = 48;

/// Describes the picture of a run as lines "name value", in this order:
///   picture
///   L, W                       the answers
///   weightUnit, forceUnit, lengthUnit   the unit words' bytes as typed
///   totalLoad, loadAt          (L x 0.5) x W and its distance from A, as
///                              the report has them (solveBeam)
///   Ay, By                     the reactions, as the report has them
///   Ax, Bx                     where present, each with the arrow the
///                              report's horizontal block gives it: "Ax 5
///                              -->", "Bx 3 <--"
///   shearA, shearB             the shear force at A and at B
///   largestAt, largestMoment   where the bending moment is largest in
///                              size, and that moment (largestMoment)
///   section x V M              kPictureParts + 1 of them from A to B, for
///                              drawing
/// Every number but the sections' is written as the report writes numbers
/// (formatValue); the sections' have 17 digits. The shear force and
/// bending moment are sectionForces' (analysis/internal_forces.h). When
/// there is nothing sound to draw, the description is the one line "none
/// SENTENCE", the sentence saying why: not every answer was read
/// (`complete` false), L is not greater than 0, or a value to draw is not
/// finite.
/// Example: L 6, W 2, Ax 0, Bx 0, units kN/m, kN, m -> "picture\nL 6\nW
/// 2\nweightUnit kN/m\nforceUnit kN\nlengthUnit m\ntotalLoad 6\nloadAt
/// 2\nAy 4\nBy 2\nshearA 4\nshearB -2\nlargestAt 2.5359\nlargestMoment
/// 4.6188\nsection 0 4.0000000000000000e+00 0\n...".
/// Example: L 0 -> "none There is no picture of this run: the length L
/// must be greater than 0, and it is 0 m.\n".
std::string describeBeamPicture(const BeamProblem& problem, bool complete);

}  // namespace beam
