#include "app/posix/line_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/posix/edit_keys.h"

namespace beam {
namespace {

const std::string kQuestion2 =
    "Enter Value 2 For The Acting Vertical Weight(Mass) At Point C Of The Figure Above On The "
    "Beam From Point A To Point B  = ";  // 121 columns

struct Edit {
  const char* name;
  std::vector<std::string> typed;  // nothing more comes in time after each but the last
  std::string text;                // the line afterwards
  std::size_t cursor;
  std::string screen;  // all the view wrote
  std::string prompt = "L = ";
  int columns = 80;
  bool utf8 = true;
  int resizeTo = 0;  // then the terminal has this many columns
};

const Edit kEdits[] = {
    {"plain typing is the echo", {"6 kN"}, "6 kN", 4, "6 kN"},
    {"left then backspace", {"67\x1b[D\x7f"}, "7", 0, "67\x1b[1D\x1b[1D\x1b[J7\x1b[1D"},
    {"ctrl+h, ctrl+b and ctrl+f", {"67\x02\x06\x08"}, "6", 1, "67\x1b[1D7\x1b[1D\x1b[J"},
    {"home and delete", {"234\x1b[H\x1b[C\x1b[3~"}, "24", 1, "234\x1b[3D2\x1b[J4\x1b[1D"},
    {"home and end in every form",
     {"ab\x1bOH\x1b[4~\x1b[1~\x1b[F\x1b[7~\x1bOF\x01\x05\x1b[8~"},
     "ab",
     2,
     "ab\x1b[2Dab\x1b[2Dab\x1b[2Dab\x1b[2Dab"},
    {"ctrl+w ctrl+u ctrl+k",
     {"6 kN m\x17\x02\x02\x0b\x15"},
     "",
     0,
     "6 kN m\x1b[1D\x1b[J\x1b[1D\x1b[1D\x1b[J\x1b[3D\x1b[J"},
    {"up and down: answers before, then the line typed",
     {"x\x1b[A\x1b[A\x1b[A\x1b[B\x1b[B"},
     "x",
     1,
     "x\x1b[1D\x1b[Jm\x1b[1D\x1b[JkN/m\x1b[4D\x1b[Jm\x1b[1D\x1b[Jx"},
    {"unknown keys, reports and a lone esc are swallowed",
     {"\x1b[15~\x1b[1;5D\x1b[<0;3;4M\x1b[I\x1bx\x07", "\x1b", "6"},
     "6",
     1,
     "6"},
    {"a paste keeps its text, not its marks", {"\x1b[200~6 \x1b[X2\x1b[201~"}, "6 2", 3, "6 2"},
    {"a tab shows as a blank", {"6\t2"}, "6\t2", 3, "6 2"},
    {"wide characters move by two columns",
     {"\xE4\xB8\xAD\x1b[D"},
     "\xE4\xB8\xAD",
     0,
     "\xE4\xB8\xAD\x1b[2D"},
    {"a combining mark goes with its letter",
     {"e\xCC\x81\x1b[D\x1b[3~"},
     "",
     0,
     "e\xCC\x81\x1b[1D\x1b[J"},
    {"a cut UTF-8 character keeps its byte", {"\xE9", "x\x1b[D"}, "\xE9x", 1, "\xE9x\x1b[1D"},
    {"outside UTF-8 a byte is a character",
     {"\xC3\xA9\x1b[D"},
     "\xC3\xA9",
     1,
     "\xC3\xA9\x1b[1D",
     "L = ",
     80,
     false},
    {"a wrapped prompt: the line starts on its second row",
     {"2\x1b[D"},
     "2",
     0,
     "2\x1b[1D",
     kQuestion2},
    {"a wrapped answer: home goes up a row",
     {"abc\x01"},
     "abc",
     0,
     "abc\x1b[1A\r\x1b[78C",
     std::string(78, 'p')},
    {"past a row's end the clear starts a character back",
     {"abc\x02\x02\x06\x0b"},
     "ab",
     2,
     "abc\x1b[1D\x1b[1A\r\x1b[79Cb\r\x1b[79C\x1b[Jb",
     std::string(78, 'p')},
    {"backspace to a row's end: the cursor stays on that row",
     {"abc\x7f"},
     "ab",
     2,
     "abc\x1b[1D\x1b[1A\r\x1b[79C\x1b[Jb",
     std::string(78, 'p')},
    {"a resize draws prompt and line again",
     {"6\x1b[D"},
     "6",
     0,
     "6\x1b[1D\x1b[1A\r\x1b[J" + kQuestion2 + "6\x1b[1D",
     kQuestion2,
     80,
     true,
     100},
};

void PrintTo(const Edit& edit, std::ostream* out) { *out << edit.name; }

class LineEdit : public ::testing::TestWithParam<Edit> {};

TEST_P(LineEdit, KeysMendTheLineAndTheScreen) {
  const Edit& edit = GetParam();
  EditKeyDecoder keys(edit.utf8);
  LineView view(edit.prompt, edit.columns, edit.utf8);
  AnswerHistory history;
  history.add("kN/m");
  history.add("m");
  std::string screen;
  std::vector<EditPress> presses;
  for (std::size_t piece = 0; piece < edit.typed.size(); ++piece) {
    for (const char byte : edit.typed[piece]) keys.feed(static_cast<unsigned char>(byte), presses);
    if (piece + 1 < edit.typed.size()) keys.cut(presses);
    for (const EditPress& press : presses) {
      EditLine next = view.line();
      if (press.key == EditKey::kUp || press.key == EditKey::kDown) {
        history.recall(next, press.key == EditKey::kUp ? -1 : 1);
      } else {
        applyKey(next, press, edit.utf8);
      }
      screen += view.show(next);
    }
    presses.clear();
  }
  if (edit.resizeTo > 0) screen += view.resize(edit.resizeTo);
  EXPECT_EQ(view.line().text, edit.text);
  EXPECT_EQ(view.line().cursor, edit.cursor);
  EXPECT_EQ(screen, edit.screen);
  // Enter: the rest of the line written (the cursor to its end), then a line end.
  EXPECT_EQ(view.finish(), edit.text.substr(edit.cursor, std::string::npos) + "\n");
}

INSTANTIATE_TEST_SUITE_P(Keys, LineEdit, ::testing::ValuesIn(kEdits));

TEST(LineEditWidth, ColumnsOfCodePoints) {
  const std::pair<char32_t, int> kWidths[] = {{U'a', 1},   {0x301, 0},   {0x4E2D, 2}, {0xFF4D, 2},
                                              {0xFE0F, 0}, {0x1F600, 2}, {0x20AC, 1}};
  for (const auto& [c, columns] : kWidths)
    EXPECT_EQ(columnsOf(c), columns) << std::hex << static_cast<unsigned>(c);
}

}  // namespace
}  // namespace beam
