// The forces inside the beam: shear force and bending moment along it, and
// where the moment is largest. Pure functions; no I/O.
#pragma once

namespace beam {

/// The shear force and bending moment at one section of the beam.
struct SectionForces {
  double shear = 0.0;
  double moment = 0.0;
};

/// The shear force V and bending moment M at distance x from A (0 <= x <= L)
/// under the triangular load w(x) = W (1 - x / L), from the statics of the
/// load itself (Ay = W L / 3 and By = W L / 6 exactly, where the report's
/// method writes 1/3 as 0.33333333):
///   V(x) = W (2 L^2 - 6 L x + 3 x^2) / (6 L)
///   M(x) = W x (L - x) (2 L - x) / (6 L)
/// Signs as a statics course draws them: V is the sum of the forces up on
/// the part of the beam left of the section, M their moment about it,
/// positive where the beam sags. So V runs from Ay at A to -By at B, and M
/// is 0 at both supports, exactly.
/// Examples (L = 6, W = 2): x = 0 -> V 4, M 0; x = 3 -> V -0.5, M 4.5;
/// x = 6 -> V -2, M 0. L = 6, W = -2, x = 3 -> V 0.5, M -4.5.
SectionForces sectionForces(double L, double W, double x);

/// Where the bending moment is largest in size: the section where the
/// shear force is zero, x = L (1 - 1 / sqrt 3) from A, and the moment
/// there, M = W L^2 / (9 sqrt 3) (negative for W < 0).
/// Example: L = 6, W = 2 -> x 2.5359 (2.5358983848622456), M 4.6188
/// (4.618802153517006).
struct LargestMoment {
  double x = 0.0;
  double moment = 0.0;
};
LargestMoment largestMoment(double L, double W);

}  // namespace beam
