#include "analysis/internal_forces.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "analysis/number_format.h"
#include "analysis/scientific17.h"

namespace beam {
namespace {

// t (1 - t) (2 - t) at its largest, t = 1 - 1 / sqrt 3.
const double kMomentPeak = 2.0 / (3.0 * std::sqrt(3.0));

// u (7 - 10 u^2 + 3 u^4) for u = 1 - t, and at its largest.
double deflectionCurve(double u) { return u * (7.0 - 10.0 * u * u + 3.0 * u * u * u * u); }
const double kDeflectionPeak = deflectionCurve(1.0 - kLargestDeflectionAt);

double signOf(double value) { return value > 0.0 ? 1.0 : value < 0.0 ? -1.0 : 0.0; }

}  // namespace

SectionShape sectionShape(const BeamSolution& s, double t) {
  SectionShape shape;
  const double largestShear = std::fmax(std::fabs(s.Ay), std::fabs(s.By));
  if (s.totalLoad == 0.0 || !(largestShear > 0.0)) return shape;
  // Ratios first: each is near 1, whatever the size of the values.
  shape.shear = s.Ay / largestShear - (s.totalLoad / largestShear) * (2.0 * t - t * t);
  const double sign = signOf(s.totalLoad);
  shape.moment = sign * t * (1.0 - t) * (2.0 - t) / kMomentPeak;
  shape.deflection = -sign * deflectionCurve(1.0 - t) / kDeflectionPeak;
  return shape;
}

std::string largestMomentText(double totalLoad, double L) {
  const double scaled = totalLoad * (2.0 / (9.0 * std::sqrt(3.0)));
  const double moment = scaled * L;
  if (std::isinf(moment)) return "";
  if (scaled == 0.0 || std::fabs(moment) >= DBL_MIN) return formatValue(moment);
  // Below the normal doubles: the factors' 17 digits multiplied apart from
  // their decimal exponents.
  double mantissa = 1.0;
  int exponent = 0;
  for (const double factor : {std::fabs(scaled), L}) {
    char digits[kScientific17Size];
    char* end = scientific17(digits, factor);
    *end = '\0';
    char* power = std::strchr(digits, 'e');
    *power = '\0';
    mantissa *= std::strtod(digits, nullptr);
    int tens = 0;
    for (const char* digit = power + 2; *digit != '\0'; ++digit) tens = 10 * tens + (*digit - '0');
    exponent += power[1] == '-' ? -tens : tens;
  }
  std::string text = formatValue(mantissa >= 10.0 ? mantissa / 10.0 : mantissa);
  exponent += mantissa >= 10.0 ? 1 : 0;
  if (text == "10") {
    text = "1";
    ++exponent;
  }
  std::string power = "000";
  for (int rest = exponent < 0 ? -exponent : exponent, at = 2; rest > 0 && at >= 0; rest /= 10) {
    power[static_cast<std::size_t>(at--)] = static_cast<char>('0' + rest % 10);
  }
  return (scaled < 0.0 ? "-" : "") + text + (exponent < 0 ? "e-" : "e+") + power;
}

}  // namespace beam
