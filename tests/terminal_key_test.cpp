#include "app/terminal_key.h"

#include <gtest/gtest.h>

#include <string>

namespace beam {
namespace {

// How the press stands after its bytes: complete; complete if no byte
// follows in time (a lone ESC); or waiting for more (inside a sequence).
enum class After { kComplete, kSilenceEnds, kWaiting };
constexpr After kComplete = After::kComplete;

struct Press {
  const char* name;
  std::string bytes;   // what the terminal sends, possibly followed by more
  std::size_t length;  // bytes that belong to the press
  After after = kComplete;
  bool keyPress = true;  // false for a report that is no key press
  bool utf8 = true;      // the terminal's locale is UTF-8
};

// key, bytes sent, bytes of that one press, how it stands after them, a key?,
// UTF-8 terminal?
const Press kPresses[] = {
    {"letter", "ab", 1},
    {"Ctrl+C", "\x03x", 1},
    {"Enter", "\r", 1},
    {"Esc alone", "\x1b", 1, After::kSilenceEnds},
    {"up arrow", "\x1b[Ax", 3},
    {"F5", "\x1b[15~x", 5},
    {"Ctrl+right", "\x1b[1;5Cx", 6},
    {"F1 (SS3)", "\x1bOPx", 3},
    {"Shift+F1 (SS3, Konsole)", "\x1bO2Px", 4},
    {"Ctrl+F1 (SS3 with 1;5)", "\x1bO1;5Px", 6},
    {"F1 (Linux console)", "\x1b[[Ax", 4},
    {"Linux console form ends at its one byte", "\x1b[[1x", 4},
    {"Alt+x", "\x1bxy", 2},
    {"Alt+up", "\x1b\x1b[Ax", 4},
    {"Alt+Esc", "\x1b\x1b", 2, After::kSilenceEnds},
    {"two-byte character", "\xC2\xB2x", 2},
    {"euro sign", "\xE2\x82\xACx", 3},
    {"emoji", "\xF0\x9F\x98\x80x", 4},
    {"Alt+e acute", "\x1b\xC3\xA9x", 3},
    {"broken UTF-8", "\xE2x", 2},
    // UTF-8 lead bytes at each end of each range; bytes outside them stand alone
    {"lead C2", "\xC2\x80x", 2},
    {"lead DF", "\xDF\xBFx", 2},
    {"lead E0", "\xE0\xA0\x80x", 3},
    {"lead EF", "\xEF\xBF\xBFx", 3},
    {"lead F0", "\xF0\x90\x80\x80x", 4},
    {"lead F4", "\xF4\x8F\xBF\xBFx", 4},
    {"C1 alone", "\xC1\x80", 1},
    {"F5 alone", "\xF5\x80\x80\x80", 1},
    {"continuation byte alone", "\x80\x80", 1},
    // final bytes of a CSI sequence at each end (@ and ~); parameter and
    // intermediate bytes (0x20 to 0x3F) go on; a control byte ends it
    {"CSI @", "\x1b[@x", 3},
    {"CSI ~", "\x1b[~x", 3},
    {"CSI with ? and blank", "\x1b[? Ax", 5},
    {"CSI cut by a control byte", "\x1b[1\x1fx", 4},
    {"endless CSI", "\x1b[" + std::string(100, '1'), 32},
    // a bracketed paste is one press, ended only by ESC [ 201 ~
    {"paste", "\x1b[200~a\x1b[201x\x1b\x1b[201~x", 20},
    {"long paste", "\x1b[200~" + std::string(100, 'a') + "\x1b[201~x", 112},
    {"paste holding colours", "\x1b[200~\x1b[31mred\x1b[0m\x1b[201~x", 24},
    {"paste with an end cut short", "\x1b[200~\x1b[2201~\x1b[201~x", 19},
    {"paste with ESC inside the end", "\x1b[200~\x1b[20\x1b[201~x", 16},
    {"paste not closed yet", "\x1b[200~abc", 9, After::kWaiting},
    {"F9, not a paste", "\x1b[20~x", 5},
    // mouse and focus reports are read whole and are no key
    {"SGR mouse press", "\x1b[<0;20;11Mx", 11, kComplete, false},
    {"SGR mouse release", "\x1b[<0;20;11mx", 11, kComplete, false},
    {"X10 mouse", "\x1b[M !!x", 6, kComplete, false},
    {"urxvt mouse", "\x1b[32;20;11Mx", 11, kComplete, false},
    {"focus in", "\x1b[Ix", 3, kComplete, false},
    {"focus out", "\x1b[Ox", 3, kComplete, false},
    // mode 1005 sends a value from 96 on as a two-byte character; one lead
    // byte not continued was a plain X10 value
    {"1005 mouse at column 96", "\x1b[M \xC2\x80!x", 7, kComplete, false},
    {"1005 mouse, every value two bytes", "\x1b[M\xC2\x80\xC2\x81\xC2\x82x", 9, kComplete, false},
    {"X10 mouse, a lead byte not continued", "\x1b[M\xC3!!x", 6, kComplete, false},
    {"X10 mouse ending on a lead byte", "\x1b[M !\xC3", 6, After::kSilenceEnds, false},
    // a terminal in a locale that is not UTF-8: a high byte is one key
    {"Latin-1 e acute", "\xE9x", 1, kComplete, true, false},
    {"KOI8-R letter with Alt", "\x1b\xC1x", 2, kComplete, true, false},
    {"X10 mouse far right, not UTF-8", "\x1b[M\xC3\xC3\xA9x", 6, kComplete, false, false},
    // cut inside a sequence (a slow link): no end yet, however long the pause
    {"ESC O, then a pause", "\x1bO", 2, After::kWaiting},
    {"ESC O 1 ;, then a pause", "\x1bO1;", 4, After::kWaiting},
    {"ESC [, then a pause", "\x1b[", 2, After::kWaiting},
    {"ESC [ 1 5, then a pause", "\x1b[15", 4, After::kWaiting},
};

TEST(KeyPressParser, ConsumesExactlyTheBytesOfOnePress) {
  for (const Press& p : kPresses) {
    SCOPED_TRACE(p.name);
    KeyPressParser parser(p.utf8);
    std::size_t used = 0;
    bool complete = false;
    while (used < p.bytes.size() && !complete) {
      complete = parser.feed(static_cast<unsigned char>(p.bytes[used++]));
    }
    EXPECT_EQ(complete, p.after == kComplete);
    if (complete) {
      EXPECT_EQ(parser.isKeyPress(), p.keyPress);
    } else {
      EXPECT_EQ(parser.mayEndHere(), p.after == After::kSilenceEnds);
    }
    EXPECT_EQ(used, p.length);
  }
}

struct LocaleCase {
  const char* lcAll;
  const char* lcCtype;
  const char* lang;
  bool utf8;
};

// LC_ALL, LC_CTYPE, LANG (nullptr: not set) -> UTF-8?
const LocaleCase kLocales[] = {
    {nullptr, nullptr, "en_US.UTF-8", true},
    {nullptr, nullptr, "C.utf8", true},
    {nullptr, nullptr, nullptr, true},
    {"", "", "", true},
    {nullptr, nullptr, "ru_RU.KOI8-R", false},
    {nullptr, nullptr, "de_DE@euro", false},
    {nullptr, nullptr, "C", false},
    {nullptr, "fr_FR.ISO-8859-1", "fr_FR.UTF-8", false},  // LC_CTYPE before LANG
    {"en_GB.UTF8", "fr_FR.ISO-8859-1", nullptr, true},    // LC_ALL before both
    {nullptr, nullptr, "sr_RS.UTF-8@latin", true},
    {nullptr, nullptr, "en_US.UTF-16", false},
};

TEST(LocaleIsUtf8, NamesTheCharacterSetOfTheFirstVariableSet) {
  for (const LocaleCase& c : kLocales) {
    SCOPED_TRACE(std::string(c.lcAll ? c.lcAll : "-") + " " + (c.lcCtype ? c.lcCtype : "-") + " " +
                 (c.lang ? c.lang : "-"));
    EXPECT_EQ(localeIsUtf8(c.lcAll, c.lcCtype, c.lang), c.utf8);
  }
}

}  // namespace
}  // namespace beam
