#include "analysis/beam.h"

#include <cfloat>
#include <cmath>

// Every result is the double nearest to its exact value, operation by
// operation as written; with wider intermediates (x87) it would not be.
static_assert(FLT_EVAL_METHOD == 0, "double arithmetic must be evaluated in double");

namespace beam {
namespace {

// a * b / c with the product rounded to 53 bits but never overflowing or
// underflowing: the operands are split into mantissa and exponent, the
// mantissas multiplied and divided, and the exponents added back at the end.
// Scaling by powers of two is exact, so this equals the plain expression
// whenever the plain product stays in the normal range.
double divideProductWide(double a, double b, double c) {
  int exponentA = 0;
  int exponentB = 0;
  int exponentC = 0;
  const double mantissaA = std::frexp(a, &exponentA);
  const double mantissaB = std::frexp(b, &exponentB);
  const double mantissaC = std::frexp(c, &exponentC);
  const double product = mantissaA * mantissaB;
  const double quotient = product / mantissaC;
  return std::ldexp(quotient, exponentA + exponentB - exponentC);
}

bool productLeftNormalRange(double a, double b, double product) {
  if (!std::isfinite(a) || !std::isfinite(b) || a == 0.0 || b == 0.0) {
    return false;
  }
  return std::isinf(product) || std::fabs(product) < DBL_MIN;
}

bool isAbsentForce(double force) { return force == 0.0 || std::isnan(force); }

}  // namespace

BeamSolution solveBeam(const BeamProblem& problem) {
  const double L = problem.L;
  BeamSolution s;
  s.totalLoad = (L * 0.5) * problem.W;
  s.leftDistance = kLeftFraction * L;
  s.rightDistance = kRightFraction * L;
  s.momentAboutA = s.leftDistance * s.totalLoad;
  if (productLeftNormalRange(s.leftDistance, s.totalLoad, s.momentAboutA)) {
    s.By = divideProductWide(s.leftDistance, s.totalLoad, L);
  } else {
    s.By = s.momentAboutA / L;
  }
  s.Ay = s.totalLoad - s.By;
  return s;
}

HorizontalCase classifyHorizontalCase(double Ax, double Bx) {
  const bool noAx = isAbsentForce(Ax);
  const bool noBx = isAbsentForce(Bx);
  if (noAx && !noBx) return HorizontalCase::BxOnly;
  if (noBx && !noAx) return HorizontalCase::AxOnly;
  if (!noAx && !noBx) return HorizontalCase::BothForces;
  return HorizontalCase::NoForces;
}

}  // namespace beam
