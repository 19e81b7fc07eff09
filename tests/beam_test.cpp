#include "analysis/beam.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "analysis/number_format.h"

namespace beam {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

BeamProblem problemOf(double L, double W) {
  BeamProblem p;
  p.L = L;
  p.W = W;
  return p;
}

struct Rendered {
  double L, W;
  const char *totalLoad, *leftDistance, *rightDistance, *momentAboutA, *By, *Ay;
};

// L, W -> each derived value as the report writes it.
const Rendered kSolved[] = {
    {6, 2, "6", "2", "4", "12", "2", "4"},
    {3, 4, "6", "1", "2", "6", "2", "4"},
    {6, -2, "-6", "2", "4", "-12", "-2", "-4"},
    {0, 5, "0", "0", "0", "0", "-1.#IND", "-1.#IND"},
    {6, 0, "0", "2", "4", "0", "0", "0"},
    {1e200, 1, "5e+199", "3.33333e+199", "6.66667e+199", "1.#INF", "1.66667e+199", "3.33333e+199"},
    {-1e200, 1, "-5e+199", "-3.33333e+199", "-6.66667e+199", "1.#INF", "-1.66667e+199",
     "-3.33333e+199"},
    {1e-200, 1, "5e-201", "3.33333e-201", "6.66667e-201", "0", "1.66667e-201", "3.33333e-201"},
};

TEST(SolveBeam, RendersTextbookCases) {
  for (const Rendered& r : kSolved) {
    const BeamSolution s = solveBeam(problemOf(r.L, r.W));
    SCOPED_TRACE(testing::Message() << "L=" << r.L << " W=" << r.W);
    EXPECT_EQ(formatValue(s.totalLoad), r.totalLoad);
    EXPECT_EQ(formatValue(s.leftDistance), r.leftDistance);
    EXPECT_EQ(formatValue(s.rightDistance), r.rightDistance);
    EXPECT_EQ(formatValue(s.momentAboutA), r.momentAboutA);
    EXPECT_EQ(formatValue(s.By), r.By);
    EXPECT_EQ(formatValue(s.Ay), r.Ay);
  }
}

// Whether p is a*b (or, with a divisor, a/c) correctly rounded: the exact
// residual of one fused operation is at most half a unit in p's last place.
bool roundedProduct(double a, double b, double p) {
  return std::fabs(std::fma(a, b, -p)) <= std::ldexp(1.0, std::ilogb(p) - 53);
}
bool roundedQuotient(double a, double c, double q) {
  return std::fabs(std::fma(-q, c, a)) <= std::ldexp(std::fabs(c), std::ilogb(q) - 53);
}

// Inside the normal range every quantity is one correctly rounded operation
// on the ones before it, in the documented order (checked by residuals, not
// by doing the same arithmetic again); outside it, the wide product gives
// what the plain arithmetic would on inputs scaled by a power of two into
// range (scaling L by 2^-s scales By by 2^-s exactly).
TEST(SolveBeam, EachStepIsOneRoundingOrTheWideProduct) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  int plain = 0;
  int wide = 0;
  for (int i = 0; i < 20000; ++i) {
    const double L = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 600) - 300);
    const double W = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 600) - 300);
    const BeamSolution s = solveBeam(problemOf(L, W));
    const double product = s.leftDistance * s.totalLoad;
    // (Far from the subnormal range, where the residuals are exact.)
    const auto wellInRange = [](double x) { return std::isfinite(x) && std::fabs(x) >= 0x1p-900; };
    if (wellInRange(product) && wellInRange(s.totalLoad) && wellInRange(s.By)) {
      ASSERT_TRUE(roundedProduct(L * 0.5, W, s.totalLoad)) << L << " " << W;
      ASSERT_TRUE(roundedProduct(kLeftFraction, L, s.leftDistance)) << L;
      ASSERT_TRUE(roundedProduct(s.leftDistance, s.totalLoad, s.momentAboutA)) << L << " " << W;
      ASSERT_TRUE(roundedQuotient(s.momentAboutA, L, s.By)) << L << " " << W;
      ++plain;
      continue;
    }
    if (!std::isfinite(s.totalLoad) || s.totalLoad == 0.0 || std::fabs(s.totalLoad) < 1e-290)
      continue;
    const int shift = std::ilogb(L);
    const BeamSolution scaled = solveBeam(problemOf(std::ldexp(L, -shift), W));
    ASSERT_EQ(s.By, std::ldexp(scaled.By, shift)) << L << " " << W;
    ++wide;
  }
  EXPECT_GT(plain, 1000);
  EXPECT_GT(wide, 1000);
}

struct Classified {
  double Ax, Bx;
  HorizontalCase expected;
};

// Ax, Bx -> case: zero, negative zero and NaN are absent; anything else is a force.
const Classified kCases[] = {
    {0.0, 5.0, HorizontalCase::BxOnly},       {-0.0, 3.0, HorizontalCase::BxOnly},
    {kNaN, -1e-300, HorizontalCase::BxOnly},  {5.0, 0.0, HorizontalCase::AxOnly},
    {1e-300, -0.0, HorizontalCase::AxOnly},   {-1e300, kNaN, HorizontalCase::AxOnly},
    {5.0, -2.0, HorizontalCase::BothForces},  {1e-300, 1e300, HorizontalCase::BothForces},
    {-4.0, -4.0, HorizontalCase::BothForces}, {0.0, 0.0, HorizontalCase::NoForces},
    {-0.0, -0.0, HorizontalCase::NoForces},   {kNaN, 0.0, HorizontalCase::NoForces},
    {0.0, kNaN, HorizontalCase::NoForces},    {-0.0, 0.0, HorizontalCase::NoForces},
    {1e-300, kNaN, HorizontalCase::AxOnly},
};

TEST(ClassifyHorizontalCase, ZeroAndNotANumberAreAbsent) {
  for (const Classified& c : kCases) {
    EXPECT_EQ(classifyHorizontalCase(c.Ax, c.Bx), c.expected) << "Ax=" << c.Ax << " Bx=" << c.Bx;
  }
}

}  // namespace
}  // namespace beam
