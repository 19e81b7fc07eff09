// What a question reads of typed answers, and the note on one it cannot read.
#include "app/answer_note.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/terminal_reports.h"

namespace beam {
namespace {

struct ReportCase {
  std::string typed;
  std::string read;  // what a question's reading sees
  bool active = true;
  bool utf8 = true;
};

// bytes typed at the terminal -> what is read; at a terminal?; UTF-8?
const ReportCase kReports[] = {
    {"6\x1b[I\n", "6\n"},
    {"\x1b[200~6 2\x1b[201~", "6 2"},
    {"5\x1b[<0;12;3M\x1b[<0;12;3m0", "50"},
    {"5\x1b[D", "5\x1b[D"},                        // an arrow key stays (it is typed)
    {"\x1b[O\x1b[I\x1b[I7", "7"},                  // reports one after another
    {"2\x1b[M !!\x1b[32;20;11M.5\n", "2.5\n"},     // X10 and urxvt mouse
    {"2\x1b[M \xC2\x80!.5", "2.5"},                // mode 1005, column 96
    {"2\x1b[M \xC2\x80!.5", "2!.5", true, false},  // not UTF-8: the report ends sooner
    {"\x1bx\x1b", "\x1bx\x1b"},                    // ESC without [ and ESC at the end
    {"1\x1b[<0;12", "1\x1b[<0;12"},                // a report cut short
    {"6\x1b[I\n", "6\x1b[I\n", false},             // from a file or pipe: as it is
};

TEST(WithoutTerminalReports, LeavesOutWholeReportsOnly) {
  for (const ReportCase& c : kReports) {
    SCOPED_TRACE(c.typed);
    TextSource source(c.typed);
    WithoutTerminalReports answers(source, c.active, c.utf8);
    std::string read;
    for (int byte = answers.peek(); byte != kEndOfInput; byte = answers.peek()) {
      read += static_cast<char>(byte);
      answers.take();
    }
    EXPECT_EQ(read, c.read);
  }
}

// `kept`: how many of the bytes of `seen` the view shows (those after it
// are still in the buffer).
ReadStop stopAt(int question, ReadStop::Kind kind, std::string_view seen = "", bool cut = false,
                std::size_t kept = kSeenBytes) {
  ReadStop stop;
  stop.kind = kind;
  stop.question = question;
  stop.seenLength = std::min(seen.copy(stop.seen, sizeof stop.seen), kept);
  stop.seenCut = cut;
  return stop;
}

struct NoteCase {
  ReadStop stop;
  bool typed;
  const char* note;
};

using Kind = ReadStop::Kind;
constexpr const char* kTaken =
    "It and the answers after it are taken as 0, the unit words as empty.";

// why the reads stopped, typed at a terminal? -> the note
const NoteCase kNotes[] = {
    {stopAt(0, Kind::kNone), true, ""},
    {stopAt(2, Kind::kNotANumber, "x"), false,
     "beam: answer 2 (W, the load) is not a number: \"x\". "},
    {stopAt(5, Kind::kEnded), false,
     "beam: the input ended before answer 5 (the unit for the weight). The unit words from "
     "there on are taken as empty.\n"},
    {stopAt(1, Kind::kEnded), true,
     "beam: the input ended before answer 1 (L, the length). The answers from there on are "
     "taken as 0, the unit words as empty. Press a key, then run beam again.\n"},
    {stopAt(1, Kind::kOutOfRange, "1e999"), false,
     "beam: answer 1 (L, the length) is out of range: \"1e999\". "},
    // controls and blank-looking characters by their bytes, visible ones as
    // they are, and a cut marked
    {stopAt(4, Kind::kNotANumber, "\x1b[D\xC2\xA0\xE2\x80\x8B\xC2\x9B\xEF\xBC\x96\xC3", true),
     false,
     "beam: answer 4 (Bx, the horizontal force at B) is not a number: "
     "\"\\x1B[D\\xC2\\xA0\\xE2\\x80\\x8B\\xC2\\x9B\xEF\xBC\x96\\xC3...\". "},
    // the classes' edges: 1F a control; U+2000, U+205F and U+206F blank-looking;
    // U+1FFF, U+205E and U+2070 shown; a whole character last
    {stopAt(3, Kind::kNotANumber,
            "\x1F\xE2\x80\x80\xE1\xBF\xBF\xE2\x81\x9F\xE2\x81\x9E\xE2\x81\xAF\xE2\x81\xB0"),
     false,
     "beam: answer 3 (Ax, the horizontal force at A) is not a number: \"\\x1F\\xE2\\x80\\x80"
     "\xE1\xBF\xBF\\xE2\\x81\\x9F\xE2\x81\x9E\\xE2\\x81\\xAF\xE2\x81\xB0\". "},
    // a lead byte last in the kept text, its continuation past it: not read
    {stopAt(1, Kind::kNotANumber, "x\xC3\xA9", true, 2), false,
     "beam: answer 1 (L, the length) is not a number: \"x\\xC3...\". "},
};

TEST(UnreadAnswerNote, NamesTheAnswerWhatStoodThereAndWhatIsTaken) {
  for (const NoteCase& c : kNotes) {
    std::string expected = c.note;
    if (expected.ends_with(". ")) {
      expected += kTaken;
      expected += c.typed ? " Press a key, then run beam again.\n" : "\n";
    }
    EXPECT_EQ(unreadAnswerNote(c.stop, c.typed), expected);
  }
}

}  // namespace
}  // namespace beam
