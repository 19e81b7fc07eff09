#include "analysis/internal_forces.h"

#include <cmath>

namespace beam {

SectionForces sectionForces(double L, double W, double x) {
  SectionForces forces;
  forces.shear = W * (2.0 * L * L - 6.0 * L * x + 3.0 * x * x) / (6.0 * L);
  forces.moment = W * x * (L - x) * (2.0 * L - x) / (6.0 * L);
  return forces;
}

LargestMoment largestMoment(double L, double W) {
  const double root3 = std::sqrt(3.0);
  LargestMoment largest;
  largest.x = L * (1.0 - 1.0 / root3);
  largest.moment = W * L * L / (9.0 * root3);
  return largest;
}

}  // namespace beam
