// The forces inside the beam and its deflected shape along it, for the
// picture of the answer. Everything is in terms of t = x / L (0 at A, 1 at
// B) and of the report's own values (BeamSolution), so nothing overflows
// or underflows where those are finite. Pure functions; no I/O.
#pragma once

#include <string>

#include "analysis/beam.h"

namespace beam {

/// Where the shear force is zero and the bending moment largest in size,
/// as a fraction of L from A: 1 - 1 / sqrt 3, from the statics of the load
/// w(x) = W (1 - x / L).
inline constexpr double kLargestMomentAt = 0.42264973081037427;

/// Where the deflection is largest, as a fraction of L from A:
/// 1 - sqrt(1 - sqrt(8 / 15)), about 0.4807.
inline constexpr double kLargestDeflectionAt = 0.48067037764077180;

/// The shape of the beam's state at one section, each value a fraction of
/// its own largest size along the beam (so between -1 and 1). Signs as a
/// statics course draws them: `shear` positive where the forces on the part
/// left of the section act up; `moment` positive where the beam sags;
/// `deflection` positive where the beam moves up. The deflection is to
/// scale only with itself: its size needs E and I, which beam does not ask.
struct SectionShape {
  double shear = 0.0;
  double moment = 0.0;
  double deflection = 0.0;
};

/// The shape at t (0 <= t <= 1) for the report's solution:
///   V(t) = Ay - T (2 t - t^2)            (T the total load), over max(|Ay|, |By|)
///   M(t) ~ t (1 - t) (2 - t)             over its largest, 2 / (3 sqrt 3)
///   y(t) ~ -u (7 - 10 u^2 + 3 u^4)       u = 1 - t, over its largest
/// M and y take the sign of T (a load down sags the beam and moves it
/// down). V at A is Ay's and at B (-By)'s, within the report's rounding;
/// M and y are 0 at both supports, exactly. With no load (T = 0) all are 0.
/// Examples (L 6, W 2: Ay 4.00000002, By 1.99999998, T 6): t 0 -> V 1, M
/// 0, y 0; t 0.5 -> V -0.125, M 0.974279, y -0.998196; t 1 -> V -0.5, M 0.
SectionShape sectionShape(const BeamSolution& solution, double t);

/// The largest bending moment in size, 2 T L / (9 sqrt 3) = W L^2 / (9
/// sqrt 3), written as the report writes numbers (formatValue), also where
/// it lies below the doubles' range; "" where it is too large for a double.
/// Examples: T 6, L 6 -> "4.6188"; T 5e-301, L 1e-300 -> "6.415e-602";
/// T 5e299, L 1e300 -> "".
std::string largestMomentText(double totalLoad, double L);

}  // namespace beam
