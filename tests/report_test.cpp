#include "analysis/report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace beam {
namespace {

UnitWord unit(std::string_view text) {
  UnitWord word;
  text.copy(word.text, UnitWord::kCapacity);
  return word;
}

// The lines a report writer gives for a problem whose force unit is kN.
std::vector<std::string> linesWritten(BeamProblem problem,
                                      void (*write)(const BeamProblem&, std::string&)) {
  problem.forceUnit = unit("kN");
  std::string text;
  write(problem, text);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ReportLine, WritesPiecesBackToBackThenALineEnd) {
  std::string out = "before\n";
  const UnitWord kN = unit("kN");
  const UnitWord empty;
  reportLine({" By = ", 2.0, " ", kN}, out);
  reportLine({" By = ", -0.0, " ", empty}, out);
  reportLine({" Ax - Bx = ", integerZero, " + ", 5.0}, out);
  reportLine({}, out);
  reportLine({kSeparatorLine}, out);
  EXPECT_EQ(out,
            "before\n"
            " By = 2 kN\n"
            " By = 0 \n"
            " Ax - Bx = 0 + 5\n"
            "\n"
            "---------------------------------------------------------- \n");
  EXPECT_EQ(kSeparatorLine.size(), 59u);
}

struct ReportCase {
  const char* name;
  double L, W;
  std::size_t line;  // 1-based line of the vertical report
  const char* text;
};

// problem, then one line of its vertical report as written
const ReportCase kReportLines[] = {
    {"typical", 6, 2, 15, "-12 + 6 x By = 0"},
    {"typical", 6, 2, 16, " 6 By = 12"},
    {"zero length", 0, 2, 20, " Ay = 0 - -1.#IND"},
    {"zero length", 0, 2, 26, " By = -1.#IND kN"},
    {"zero load", 6, 0, 15, "0 + 6 x By = 0"},
    {"negative load", 3, -4, 22, " Ay = -4 kN"},
    {"huge length", 1e200, 1, 15, "-1.#INF + 1e+200 x By = 0"},
    {"huge length", 1e200, 1, 16, " 1e+200 By = 1.#INF"},
    {"huge length", 1e200, 1, 26, " By = 1.66667e+199 kN"},
    {"big total", 1000, 2000, 4, "Ay + By = 1e+006 Eq-1"},
};

TEST(PrintVerticalReport, WritesEachLineFromItsPieces) {
  for (const ReportCase& c : kReportLines) {
    BeamProblem problem;
    problem.L = c.L;
    problem.W = c.W;
    const auto lines = linesWritten(problem, printVerticalReport);
    ASSERT_EQ(lines.size(), kVerticalReportLines);
    EXPECT_EQ(lines.at(c.line - 1), c.text) << c.name << ", line " << c.line;
  }
}

struct BlockCase {
  double Ax, Bx;
  const char* first;
  const char* second;
};

// Ax, Bx -> the block's first two lines (its length is the documented one)
const BlockCase kBlocks[] = {
    {0, 5, " Ax - Bx = 0 + 5", " -Bx = -5 kN"},
    {-0.0, 3, " Ax - Bx = 0 + 3", " -Bx = -3 kN"},
    {5, 0, " Ax - Bx = 5 + 0", " Ax  = 5 kN"},
    {5, -2, " This Means That An Extra Force Is Produced At Joint(Point) B Of The Beam  ",
     " Which Produces The Equation Below For The Entire Beam(Diagram, Figure) Above  "},
    {0, 0, " Ax - Bx = 0 - 0", " Ax - Bx = 0 kN"},
    {1e-300, 0, " Ax - Bx = 1e-300 + 0", " Ax  = 1e-300 kN"},
};

TEST(PrintHorizontalCase, WritesTheBlockOfTheCase) {
  for (const BlockCase& c : kBlocks) {
    BeamProblem problem;
    problem.Ax = c.Ax;
    problem.Bx = c.Bx;
    const auto lines = linesWritten(problem, printHorizontalCase);
    SCOPED_TRACE(testing::Message() << "Ax=" << c.Ax << " Bx=" << c.Bx);
    const std::size_t count = horizontalCaseLines(classifyHorizontalCase(c.Ax, c.Bx));
    ASSERT_EQ(lines.size(), count);
    EXPECT_EQ(lines[0], c.first);
    EXPECT_EQ(lines[1], c.second);
    EXPECT_EQ(lines[count - 1], kSeparatorLine);
    EXPECT_EQ(lines[count - 2], kSeparatorLine);
  }
}

}  // namespace
}  // namespace beam
