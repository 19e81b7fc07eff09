// The picture of the answer: the physics along the beam and the
// description the page draws from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "analysis/beam_picture.h"
#include "analysis/internal_forces.h"
#include "analysis/number_format.h"
#include "analysis/report.h"
#include "app/run.h"

namespace beam {
namespace {

struct ShapeCase {
  double L, W, t, shear, moment, deflection;
};

// L, W, t -> V, M and y as fractions of their largest, worked by hand
// (V = Ay - T (2t - t^2) over Ay; M ~ t (1-t) (2-t) over 2 / (3 sqrt 3);
// y ~ -u (7 - 10u^2 + 3u^4), u = 1 - t, over its largest)
const ShapeCase kShapes[] = {
    {6, 2, 0, 1, 0, 0},
    {6, 2, 0.5, -0.125, 0.974279, -0.998196},
    {6, 2, 1, -0.5, 0, 0},
    {6, -2, 0.5, 0.125, -0.974279, 0.998196},
    {3, 4, 0.25, 0.34375, 0.852494, -0.742408},
    {6, 0, 0.5, 0, 0, 0},
};

BeamSolution solved(double L, double W) {
  BeamProblem p;
  p.L = L;
  p.W = W;
  return solveBeam(p);
}

// The cases by hand; then on beams of every scale, the shape's ends are
// Ay's and -By's, M and y are 0 at the supports, the moment's slope is the
// shear and the deflection's curvature the moment (central differences),
// and each is largest, at 1 or -1, where the header says.
TEST(SectionShape, FollowsTheStaticsAndTheElasticCurve) {
  for (const ShapeCase& c : kShapes) {
    const SectionShape shape = sectionShape(solved(c.L, c.W), c.t);
    EXPECT_NEAR(shape.shear, c.shear, 1e-6) << c.L << " " << c.W << " " << c.t;
    EXPECT_NEAR(shape.moment, c.moment, 1e-6) << c.L << " " << c.W << " " << c.t;
    EXPECT_NEAR(shape.deflection, c.deflection, 1e-6) << c.L << " " << c.W << " " << c.t;
  }
  EXPECT_NEAR(kLargestMomentAt, 1 - 1 / std::sqrt(3.0), 2e-16);
  EXPECT_NEAR(kLargestDeflectionAt, 1 - std::sqrt(1 - std::sqrt(8.0 / 15)), 2e-16);
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  for (int i = 0; i < 300; ++i) {
    const double L = std::pow(10.0, 300 * unit(random));
    const double W = std::pow(10.0, 8 * unit(random)) * (i % 2 == 0 ? 1 : -1);
    const BeamSolution s = solved(L, W);
    if (!std::isfinite(s.totalLoad) || s.totalLoad == 0.0) continue;
    const auto at = [&](double t) { return sectionShape(s, t); };
    const double largest = std::fmax(std::fabs(s.Ay), std::fabs(s.By));
    EXPECT_NEAR(at(0).shear, s.Ay / largest, 1e-15) << L << " " << W;
    EXPECT_NEAR(at(1).shear, -s.By / largest, 1e-7) << L << " " << W;
    EXPECT_EQ(at(0).moment, 0.0);
    EXPECT_EQ(at(1).moment, 0.0);
    EXPECT_EQ(at(0).deflection, 0.0);
    EXPECT_EQ(at(1).deflection, 0.0);
    const double t = (i % 9 + 0.5) / 10;
    const double h = 1e-4;
    const double slope = (at(t + h).moment - at(t - h).moment) / (2 * h);
    EXPECT_NEAR(slope, 3 * std::sqrt(3.0) * at(t).shear, 1e-6) << L << " " << W;
    // y'' = k M (M = EI y'' with y up and sagging positive), one k > 0.
    const auto bend = [&](double where) {
      return (at(where + h).deflection - 2 * at(where).deflection + at(where - h).deflection) /
             (h * h) / at(where).moment;
    };
    EXPECT_GT(bend(t), 0.0);
    EXPECT_NEAR(bend(t) / bend(0.3), 1.0, 1e-4) << L << " " << W;
    EXPECT_NEAR(std::fabs(at(kLargestMomentAt).moment), 1.0, 1e-15);
    EXPECT_NEAR(at(kLargestMomentAt).shear, 0.0, 1e-7);
    EXPECT_NEAR(std::fabs(at(kLargestDeflectionAt).deflection), 1.0, 1e-15);
  }
}

// total load, L -> the largest moment as written: in range, below the
// doubles' range, too large ("")
TEST(LargestMomentText, SixDigitsAtEveryScale) {
  const std::tuple<double, double, const char*> cases[] = {
      {6, 6, "4.6188"},
      {-6, 6, "-4.6188"},
      {5e-301, 1e-300, "6.415e-602"},
      {5e-161, 1e-160, "6.415e-322"},
      {7.7942283e-160, 1e-160, "1e-320"},  // the six digits round up to 10
      {-7.7942283e-160, 1e-160, "-1e-320"},
      {5e144, 1e155, "6.415e+298"},
      {5e199, 1e100, "6.415e+298"},
      {5e299, 1e300, ""},
      {0, 6, "0"},
  };
  for (const auto& [totalLoad, L, text] : cases) {
    EXPECT_EQ(largestMomentText(totalLoad, L), text) << totalLoad << " " << L;
  }
}

BeamProblem problemOf(double L, double W, double Ax = 0, double Bx = 0) {
  BeamProblem p;
  p.L = L;
  p.W = W;
  p.Ax = Ax;
  p.Bx = Bx;
  for (auto [word, text] :
       {std::pair{&p.weightUnit, "kN/m"}, {&p.forceUnit, "kN"}, {&p.lengthUnit, "m"}}) {
    std::snprintf(word->text, sizeof word->text, "%s", text);
  }
  return p;
}

// A description by the contract: each line a kind of kPictureLines, with
// its number of columns, in the table's order (sections last, all of
// them), or the one line "none". Returns the lines' columns by name.
std::vector<std::vector<std::string>> checkedLines(const std::string& description) {
  std::vector<std::vector<std::string>> lines;
  std::istringstream text(description);
  std::size_t kind = 0;
  for (std::string line; std::getline(text, line);) {
    std::vector<std::string> columns;
    std::size_t from = 0;
    for (std::size_t blank; (blank = line.find(' ', from)) != std::string::npos; from = blank + 1) {
      columns.push_back(line.substr(from, blank - from));
    }
    columns.push_back(line.substr(from));
    while (kind < std::size(kPictureLines) && columns[0] != kPictureLines[kind].name) ++kind;
    EXPECT_LT(kind, std::size(kPictureLines)) << "out of order or unknown: " << line;
    if (kind == std::size(kPictureLines)) break;
    if (kPictureLines[kind].columns >= 0) {
      EXPECT_EQ(columns.size(), static_cast<std::size_t>(kPictureLines[kind].columns) + 1) << line;
    }
    lines.push_back(columns);
  }
  const auto sections =
      std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l[0] == "section"; });
  EXPECT_TRUE(sections == 0 || sections == kPictureParts + 1) << description;
  EXPECT_TRUE(lines.empty() || lines[0][0] == "picture" || lines.size() == 1) << description;
  return lines;
}

struct Picture {
  const char* name;
  BeamProblem problem;
  const char* holds;  // a part of the description
};

// run -> a part of the picture's description
const Picture kPictures[] = {
    {"typical", problemOf(6, 2),
     "picture\nweightUnit kN/m\nforceUnit kN\nlengthUnit m\nL 6\nload 2 down\ntotalLoad 6 2\n"
     "Ay 4 up\nBy 2 up\nshear 4 -2\nzeroShear 4.2264973081037427e-01 2.5359\n"
     "largestMoment 4.2264973081037427e-01 4.6188 2.5359 below\n"
     "largestDeflection 4.8067037764077181e-01 2.88402 above\n"
     "section 0 1.0000000000000000e+00 0 0\n"},
    {"one value per force", problemOf(12.5, 48.75), "By 101.562 up\nshear 203.125 -101.562\n"},
    {"load upward", problemOf(6, -2), "load -2 up\ntotalLoad -6 2\nAy -4 down\nBy -2 down"},
    {"below the doubles", problemOf(1e-300, 1),
     "Ay 3.33333e-301 up\nBy 1.66667e-301 up\n"
     "shear 3.33333e-301 -1.66667e-301\n"},
    {"moment below the doubles", problemOf(1e-300, 1), " 6.415e-602 "},
    {"wide", problemOf(1e155, 1e-10), "largestMoment 4.2264973081037427e-01 6.415e+298 "},
    {"no load", problemOf(5, 0), "load 0 none\nAy 0 none\nBy 0 none\n"},
    {"total load below the doubles", problemOf(1e-300, 1e-300), "load 1e-300 underflow\nAy 0 none"},
    {"forces against their arrows", problemOf(10, -3, -5, 0), "Ax -5 left\nshear"},
    {"both forces", problemOf(6, 2, 5, -3), "By 2 up\nAx 5 right\nBx -3 right\nshear"},
    {"no length", problemOf(0, 2),
     "none There is no picture of this run: the length L must be greater than 0, and it is 0 m.\n"},
    {"negative length", problemOf(-6, 2), "greater than 0, and it is -6 m."},
    {"moment too large", problemOf(1e300, 1),
     "none There is no picture of this run: the largest bending moment is too large"},
    {"total load too large", problemOf(1e300, 1e300),
     "none There is no picture of this run: the total load (L x 0.5) x W is too large"},
};

TEST(DescribeBeamPicture, FollowsTheContractAndSaysWhyNot) {
  for (const Picture& c : kPictures) {
    const std::string description = describeBeamPicture(c.problem, true);
    EXPECT_NE(description.find(c.holds), std::string::npos) << c.name << "\n" << description;
    checkedLines(description);
  }
  EXPECT_EQ(describeBeamPicture(problemOf(6, 2), false),
            "none beam could not read every answer, so there is no picture of this run.\n");
  EXPECT_EQ(describeBeamPicture(problemOf(5, 0), true).find("section"), std::string::npos);
}

// Each horizontal case: the report's line count, and a mark line for each
// row of the run's blocks, whose line as written holds what the row says.
TEST(DescribeBeamPicture, MarksTheReportLinesTheTableNames) {
  for (const BeamProblem& problem : {problemOf(6, 2), problemOf(6, -2, 0, 4), problemOf(6, 2, 5, 0),
                                     problemOf(6, 2, 5, -3), problemOf(6, 0)}) {
    const std::string description = describeBeamPicture(problem, true);
    std::string report;
    printReport(problem, report);
    std::vector<std::string> written;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) written.push_back(line);
    EXPECT_NE(description.find("\nreport " + std::to_string(written.size() - 1) + "\nmark "),
              std::string::npos);
    const int block = static_cast<int>(classifyHorizontalCase(problem.Ax, problem.Bx));
    std::ptrdiff_t rows = 0;
    for (const MarkedLine& row : kMarkedLines) {
      if (row.block != kVerticalBlock && row.block != block) continue;
      const std::size_t number = static_cast<std::size_t>(row.line) +
                                 (row.block == kVerticalBlock ? 0 : kVerticalReportLines);
      const char* holds = kMarkedLineHolds[&row - kMarkedLines];
      EXPECT_NE(written.at(number - 1).find(holds), std::string::npos) << holds;
      const std::string mark = "\nmark " + std::to_string(number) + " " + row.parts + "\n";
      EXPECT_NE(description.find(mark), std::string::npos) << mark;
      rows += 1;
    }
    const auto lines = checkedLines(description);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](auto& l) { return l[0] == "mark"; }),
              rows);
  }
}

// A thousand classroom beams: the shear at A and B is the report's Ay and
// -By in every digit written.
TEST(DescribeBeamPicture, ShearAtTheSupportsIsTheReportsReactions) {
  std::mt19937_64 random(49);
  std::uniform_real_distribution<double> length(1, 30);
  std::uniform_real_distribution<double> load(0.5, 50);
  for (int i = 0; i < 1000; ++i) {
    const double L = std::round(length(random) * 100) / 100;
    const double W = std::round(load(random) * 1000) / 1000;
    std::string Ay, By, shearA, shearB;
    for (const auto& line : checkedLines(describeBeamPicture(problemOf(L, W), true))) {
      if (line[0] == "Ay") Ay = line[1];
      if (line[0] == "By") By = line[1];
      if (line[0] == "shear") shearA = line[1], shearB = line[2];
    }
    EXPECT_EQ(shearA, Ay) << L << " " << W;
    EXPECT_EQ(shearB, "-" + By) << L << " " << W;
  }
}

}  // namespace
}  // namespace beam
