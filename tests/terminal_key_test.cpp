#include "app/terminal_key.h"

#include <gtest/gtest.h>

#include <string>

namespace beam {
namespace {

struct Press {
  const char* name;
  std::string bytes;      // what the terminal sends, possibly followed by more
  std::size_t length;     // bytes that belong to the press
  bool endsAtTimeout;     // the press ends when no byte follows in time
};

// key, bytes sent, bytes of that one press, whether it ends only by silence
const Press kPresses[] = {
    {"letter", "ab", 1, false},
    {"Ctrl+C", "\x03x", 1, false},
    {"Enter", "\r", 1, false},
    {"Esc alone", "\x1b", 1, true},
    {"up arrow", "\x1b[Ax", 3, false},
    {"F5", "\x1b[15~x", 5, false},
    {"Ctrl+right", "\x1b[1;5Cx", 6, false},
    {"F1 (SS3)", "\x1bOPx", 3, false},
    {"F1 (Linux console)", "\x1b[[Ax", 4, false},
    {"Alt+x", "\x1bxy", 2, false},
    {"Alt+up", "\x1b\x1b[Ax", 4, false},
    {"Alt+Esc", "\x1b\x1b", 2, true},
    {"two-byte character", "\xC2\xB2x", 2, false},
    {"euro sign", "\xE2\x82\xACx", 3, false},
    {"emoji", "\xF0\x9F\x98\x80x", 4, false},
    {"Alt+e acute", "\x1b\xC3\xA9x", 3, false},
    {"broken UTF-8", "\xE2x", 2, false},
    // UTF-8 lead bytes at each end of each range; bytes outside them stand alone
    {"lead C2", "\xC2\x80x", 2, false},
    {"lead DF", "\xDF\xBFx", 2, false},
    {"lead E0", "\xE0\xA0\x80x", 3, false},
    {"lead EF", "\xEF\xBF\xBFx", 3, false},
    {"lead F0", "\xF0\x90\x80\x80x", 4, false},
    {"lead F4", "\xF4\x8F\xBF\xBFx", 4, false},
    {"C1 alone", "\xC1\x80", 1, false},
    {"F5 alone", "\xF5\x80\x80\x80", 1, false},
    {"continuation byte alone", "\x80\x80", 1, false},
    // final bytes of a CSI sequence at each end (@ and ~); parameter and
    // intermediate bytes (0x20 to 0x3F) go on; a control byte ends it
    {"CSI @", "\x1b[@x", 3, false},
    {"CSI ~", "\x1b[~x", 3, false},
    {"CSI with ? and blank", "\x1b[? Ax", 5, false},
    {"CSI cut by a control byte", "\x1b[1\x1fx", 4, false},
    {"endless CSI", "\x1b[" + std::string(100, '1'), 32, false},
};

TEST(KeyPressParser, ConsumesExactlyTheBytesOfOnePress) {
  for (const Press& p : kPresses) {
    SCOPED_TRACE(p.name);
    KeyPressParser parser;
    std::size_t used = 0;
    bool complete = false;
    while (used < p.bytes.size() && !complete) {
      complete = parser.feed(static_cast<unsigned char>(p.bytes[used++]));
    }
    if (p.endsAtTimeout) {
      EXPECT_FALSE(complete);
      EXPECT_TRUE(parser.mayEndHere());
    } else {
      EXPECT_TRUE(complete);
    }
    EXPECT_EQ(used, p.length);
  }
}

}  // namespace
}  // namespace beam
