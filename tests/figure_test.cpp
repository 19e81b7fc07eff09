#include "text/figure.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace beam {
namespace {

struct Mark {
  std::size_t column;  // counted from 1, as the drawing is read
  char symbol;
};

struct Row {
  int number;
  std::size_t length;
  Mark marks[4];  // every non-blank character outside these is checked too
};

// row number, length, and where its marks stand (unused marks are {0, 0}).
// Rows 1 to 3 and 31 to 36 hold words and rules; only their lengths are here,
// their words are checked below.
const Row kRows[] = {
    {4, 30, {{2, '|'}, {3, 'x'}, {30, 'V'}}},
    {5, 5, {{2, '|'}, {5, 'x'}}},
    {6, 7, {{2, '|'}, {7, 'x'}}},
    {7, 9, {{2, '|'}, {9, 'x'}}},
    {8, 11, {{2, '|'}, {11, 'x'}}},
    {9, 12, {{2, '|'}, {12, 'x'}}},
    {10, 14, {{2, '|'}, {14, 'x'}}},
    {11, 16, {{2, '|'}, {16, 'x'}}},
    {12, 30, {{2, '|'}, {18, 'x'}, {30, '!'}}},
    {13, 30, {{2, '|'}, {20, 'x'}, {30, '!'}}},
    {14, 30, {{2, '|'}, {22, 'x'}, {30, '!'}}},
    {15, 30, {{2, '|'}, {24, 'x'}, {30, 'V'}}},
    {16, 26, {{2, '|'}, {26, 'x'}}},
    {17, 28, {{2, '|'}, {28, 'x'}}},
    {18, 30, {{2, '|'}, {30, 'x'}}},
    {19, 32, {{2, '|'}, {32, 'x'}}},
    {20, 34, {{2, '|'}, {34, 'x'}}},
    {21, 36, {{2, '|'}, {36, 'x'}}},
    {22, 38, {{2, '|'}, {38, 'x'}}},
    {23, 40, {{2, '|'}, {40, 'x'}}},
    {24, 42, {{2, '|'}, {42, 'x'}}},
    {25, 44, {{2, '|'}, {44, 'x'}}},
    {26, 46, {{2, '|'}, {46, 'x'}}},
    {27, 48, {{2, '|'}, {48, 'x'}}},
    {28, 50, {{2, '|'}, {50, 'x'}}},
    {29, 52, {{2, '|'}, {52, 'x'}}},
    {30, 54, {{2, '|'}, {28, '.'}, {54, 'x'}}},
    {32, 55, {{2, '|'}, {7, 'x'}, {48, 'x'}, {55, '|'}}},
    {33, 55, {{24, '|'}}},
    {35, 59, {{2, 'I'}, {55, 'I'}}},
};

TEST(Figure, RowsHoldTheirMarksAtTheirColumns) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(testing::Message() << "row " << row.number);
    std::string expected(row.length, ' ');
    for (const Mark& mark : row.marks) {
      if (mark.symbol != 0) expected.at(mark.column - 1) = mark.symbol;
    }
    EXPECT_EQ(kFigureRows.at(static_cast<std::size_t>(row.number - 1)), expected);
  }
}

// The rows with words, each spelled out by its counts of blanks and dashes,
// not copied from the drawing.
TEST(Figure, WordedRowsHaveTheirBlanks) {
  const auto blanks = [](std::size_t n) { return std::string(n, ' '); };
  // row number, the row built from its counts
  const std::pair<std::size_t, std::string> rows[] = {
      {1, blanks(26) + "Weight(W)" + blanks(25)},
      {2, blanks(29) + "!" + blanks(25)},
      {3, " Pt-D" + blanks(24) + "!" + blanks(25)},
      {31, " |" + std::string(52, '_') + "|"},
      {34, " ^ Pt-A" + blanks(16) + "C" + blanks(25) + "Pt-B ^"},
      {36, " |<" + std::string(22, '-') + "Length(L)" + std::string(19, '-') + ">|"},
  };
  for (const auto& [number, text] : rows) {
    EXPECT_EQ(kFigureRows.at(number - 1), text) << "row " << number;
  }
}

TEST(Figure, LegendAndFigureAreFramedByEmptyLines) {
  std::string text;
  printLegendAndFigure(text);
  EXPECT_EQ(text.substr(0, 3), "\n\n ");
  EXPECT_NE(text.find("Shown Below\n\n                          Weight(W)"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 3), "|\n\n");
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  EXPECT_EQ(lines, 2u + 6u + 1u + 36u + 1u);
}

}  // namespace
}  // namespace beam
