// Report lines: every line of the report, and the closing line, is a sequence
// of pieces written one after another, then a line end. Lines are appended to
// the caller's text; writing it out is the caller's.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "analysis/beam.h"

namespace beam {

/// Marks the integer zero as a piece: it is always written "0", never as a
/// formatted double.
struct IntegerZero {};
inline constexpr IntegerZero integerZero{};

/// One piece of a report line: literal text (written as is), a double
/// (written with formatValue), the integer zero ("0"), or a unit word (its
/// bytes; an empty word writes nothing). Pieces refer to their text; they
/// live only for the reportLine call they are built for.
class ReportPiece {
 public:
  ReportPiece(const char* text) : kind_(Kind::kText), text_(text) {}
  ReportPiece(std::string_view text) : kind_(Kind::kText), text_(text) {}
  ReportPiece(double value) : kind_(Kind::kNumber), value_(value) {}
  ReportPiece(IntegerZero) : kind_(Kind::kText), text_("0") {}
  ReportPiece(const UnitWord& unit) : kind_(Kind::kText), text_(unit.view()) {}

  void appendTo(std::string& text) const;

 private:
  enum class Kind { kText, kNumber };
  Kind kind_;
  std::string_view text_;
  double value_ = 0.0;
};

/// The report's dividing line: 58 hyphens and one blank.
inline constexpr std::string_view kSeparatorLine =
    "---------------------------------------------------------- ";

/// Appends the pieces to text with nothing between them, then a line end.
/// Example: reportLine({" By = ", 2.0, " ", kN}, text) appends " By = 2 kN\n".
void reportLine(std::initializer_list<ReportPiece> pieces, std::string& text);

/// Appends the separator line twice, as the vertical report and every
/// horizontal block end.
void separatorLineTwice(std::string& text);

/// How many lines printVerticalReport appends.
inline constexpr std::size_t kVerticalReportLines = 28;

/// Appends the kVerticalReportLines lines of the vertical load and support
/// reactions, from the BeamSolution that solveBeam gives for the problem.
void printVerticalReport(const BeamProblem& problem, std::string& text);

/// How many lines printHorizontalCase appends for a case, its two separator
/// lines included: 5 for BxOnly and AxOnly, 8 for BothForces, 6 for NoForces.
std::size_t horizontalCaseLines(HorizontalCase c);

/// Appends the block of the problem's horizontal case (classifyHorizontalCase
/// on Ax and Bx), ending with the separator line twice. Uses only Ax, Bx and
/// forceUnit.
void printHorizontalCase(const BeamProblem& problem, std::string& text);

}  // namespace beam
