// The introduction every run opens with: a dated banner line, a legend of the
// points and quantities, and a character drawing of the beam and its load.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace beam {

/// The 36 rows of the figure, leading and trailing blanks included, without
/// line ends.
extern const std::array<std::string_view, 36> kFigureRows;

/// Appends the banner line to text.
void printBanner(std::string& text);

/// Appends two empty lines, the legend, an empty line, the figure and an
/// empty line to text.
void printLegendAndFigure(std::string& text);

}  // namespace beam
