// The fixed introduction: banner, legend and the figure of the beam.
#include "text/figure.h"

namespace beam {
namespace {

// The banner, line end included.
constexpr std::string_view kBannerLine =
    "              Last Dated On 04/01/2002 <-- To -->  07/24/2002-!!!\n";

// The six legend lines, without line ends.
constexpr std::array<std::string_view, 6> kLegendLines = {
    " The Figure Below Represents The Shape Of A Triangular Beam",
    " [1] A => Connection(Joint) At Point A ->[Pin Joint],  [2 ]B => Connection(Joint) At Point B "
    "->[Rocker(Roller Ball)]",
    " [3] Downward Vertical Force Acting At Point C Of The Beam, Rod, Steel, Wood",
    " Where C Is The Concemtrated Acting Point Of Force On The Beam Also The Figure(Shape) Shown "
    "Below (2/3L + 1/3L)",
    " [4] H Is The Vertical Height Of The Beam Also Known As The Figure(Shape) Shown Below",
    " [5] L Is The Horizontal Total Length Of The Beam Also The Figure(Shape) Shown Below",
};

}  // namespace

// Rows 1 to 36, top to bottom: the load over A (the x marks), the weight W,
// the beam, the supports Pt-A and Pt-B with C between them, the length L.
const std::array<std::string_view, 36> kFigureRows = {
    "                          Weight(W)                         ",
    "                             !                         ",
    " Pt-D                        !                         ",
    " |x                          V",
    " |  x",
    " |    x",
    " |      x",
    " |        x",
    " |         x",
    " |           x",
    " |             x",
    " |               x           !",
    " |                 x         !",
    " |                   x       !",
    " |                     x     V",
    " |                       x",
    " |                         x",
    " |                           x",
    " |                             x",
    " |                               x",
    " |                                 x",
    " |                                   x",
    " |                                     x",
    " |                                       x",
    " |                                         x",
    " |                                           x",
    " |                                             x",
    " |                                               x",
    " |                                                 x",
    " |                         .                         x",
    " |____________________________________________________|",
    " |    x                                        x      |",
    "                       |                               ",
    " ^ Pt-A                C                         Pt-B ^",
    " I                                                    I    ",
    " |<----------------------Length(L)------------------->|",
};

void printBanner(std::string& text) { text += kBannerLine; }

void printLegendAndFigure(std::string& text) {
  text += "\n\n";
  for (std::string_view line : kLegendLines) (text += line) += '\n';
  text += '\n';
  for (std::string_view row : kFigureRows) (text += row) += '\n';
  text += '\n';
}

}  // namespace beam
