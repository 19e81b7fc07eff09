// The introduction every run opens with: a dated banner line, a legend of the
// points and quantities, and a character drawing of the beam and its load.
#pragma once

#include <array>
#include <iosfwd>
#include <string_view>

namespace beam {

/// The banner, line end included; also the format text printBanner hands to
/// printf (it holds no conversion).
extern const char* const kBannerLine;
/// The six legend lines, without line ends.
extern const std::array<std::string_view, 6> kLegendLines;
/// The 36 rows of the figure, leading and trailing blanks included, without
/// line ends.
extern const std::array<std::string_view, 36> kFigureRows;

/// Writes the banner line through printf, which shares standard output's
/// buffer with std::cout, so the banner comes first whatever follows.
void printBanner();

/// Writes two empty lines, the legend, an empty line, the figure and an
/// empty line, with no flush between lines.
void printLegendAndFigure(std::ostream& out);
void printLegendAndFigure();

}  // namespace beam
