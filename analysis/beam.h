// The beam problem: what the user enters, what follows from it, and which
// horizontal case it falls into. Pure data and pure functions; no I/O.
#pragma once

#include <cstddef>
#include <string_view>

namespace beam {

/// A unit name as the user typed it: one word without white space, at most
/// 19 bytes, always terminated. Empty when its read failed.
struct UnitWord {
  static constexpr std::size_t kCapacity = 19;
  char text[kCapacity + 1] = {};

  /// The stored bytes up to the first NUL: the terminator, or a NUL byte
  /// typed inside the word, where a written unit ends as a C string does.
  std::string_view view() const { return std::string_view(text); }
};

/// The seven values of one run, in the order they are asked for. A number
/// whose read failed or never happened holds +0.0; a unit word, empty.
struct BeamProblem {
  double L = 0.0;   ///< length between the supports A and B
  double W = 0.0;   ///< height of the triangular load over A
  double Ax = 0.0;  ///< horizontal force at A (pin); 0 when there is none
  double Bx = 0.0;  ///< horizontal force at B (rocker); 0 when there is none
  UnitWord weightUnit;
  UnitWord forceUnit;
  UnitWord lengthUnit;
};

/// Where the load's resultant stands, as fractions of L from A and from B,
/// as the method writes them: 1/3 and 2/3 cut to 8 and 9 digits. They stay
/// short on purpose: every distance, moment and reaction follows from these
/// digits, so that L = 6, W = 2 gives By = 1.99999998 and Ay = 4.00000002
/// (both shown as 2 and 4 to six digits), not 2 and 4 exactly.
inline constexpr double kLeftFraction = 0.33333333;
inline constexpr double kRightFraction = 0.666666667;

/// The derived quantities, each computed once, in double, with exactly the
/// operands and order documented on solveBeam. Three more values are
/// computed where the report writes them and kept nowhere: the sum Ax + Bx
/// (Eq-2), the signed moment term (-1.0 * leftDistance) * totalLoad, and
/// totalLoad - By (the line before Ay); the horizontal block computes
/// Ax - Bx (analysis/report.h).
struct BeamSolution {
  double totalLoad = 0.0;
  double leftDistance = 0.0;
  double rightDistance = 0.0;
  double momentAboutA = 0.0;
  double By = 0.0;
  double Ay = 0.0;
};

/// Solves the vertical equilibrium:
///   totalLoad     = (L * 0.5) * W
///   leftDistance  = kLeftFraction * L     (0.33333333 * L)
///   rightDistance = kRightFraction * L    (0.666666667 * L)
///   momentAboutA  = leftDistance * totalLoad
///   By            = momentAboutA / L
///   Ay            = totalLoad - By
/// When leftDistance * totalLoad leaves the normal range although both are
/// finite and non-zero (it overflows, or it falls below the smallest normal
/// double), By is the product rounded to 53 bits with an unbounded exponent,
/// divided by L; momentAboutA keeps the stored (infinite or tiny) product.
/// Example: L = 6, W = 2 -> totalLoad 6, By 1.99999998, Ay 4.00000002.
/// Example: L = 1e200, W = 1 -> momentAboutA inf, By ~1.66667e199.
/// L = 0 gives By and Ay not-a-number; nothing is refused.
BeamSolution solveBeam(const BeamProblem& problem);

/// Which horizontal forces are present.
enum class HorizontalCase { BxOnly, AxOnly, BothForces, NoForces };

/// A force counts as absent when it compares equal to 0.0 (so -0.0 too) or is
/// not a number; any other value, however small, is a force.
/// Examples: (0, 5) -> BxOnly; (5, 0) -> AxOnly; (5, -2) -> BothForces;
/// (-0.0, 0) -> NoForces; (1e-300, NaN) -> AxOnly.
HorizontalCase classifyHorizontalCase(double Ax, double Bx);

}  // namespace beam
