#include "app/input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace beam {
namespace {

struct NumberCase {
  const char* text;
  ScanError error;
  double value;  // when error is kNone
  const char* remaining;
  bool reachedEnd;
};

constexpr ScanError kOk = ScanError::kNone;
constexpr ScanError kBad = ScanError::kMalformed;
constexpr ScanError kRange = ScanError::kOutOfRange;

// text, outcome, value, what stays unread, whether the scan met the end
const NumberCase kNumbers[] = {
    {"6", kOk, 6.0, "", true},
    {"5kN", kOk, 5.0, "kN", false},
    {"1.2.3", kOk, 1.2, ".3", false},
    {"+.", kBad, 0, "", true},
    {"+.x", kBad, 0, "x", false},
    {"-", kBad, 0, "", true},
    {"kN", kBad, 0, "kN", false},
    {"1e", kBad, 0, "", true},
    {"1e+", kBad, 0, "", true},
    {"1e+x", kBad, 0, "x", false},
    {".e5", kBad, 0, "e5", false},
    {".5", kOk, 0.5, "", true},
    {"5.", kOk, 5.0, "", true},
    {"-2.5E+2 ", kOk, -250.0, " ", false},
    {"1e999", kRange, 0, "", true},
    {"1e-999", kRange, 0, "", true},
    {"-1e309", kRange, 0, "", true},
    {"1.7976931348623158e308", kOk, 1.7976931348623157e308, "", true},
    {"2.2250738585072011e-308", kRange, 0, "", true},
    {"2.2250738585072013e-308", kOk, 2.2250738585072014e-308, "", true},
    {"4.9e-324", kRange, 0, "", true},
    {"0.007", kOk, 0.007, "", true},
    {"0.0000000123 m", kOk, 1.23e-8, " m", false},
    {"0e99999", kOk, 0.0, "", true},
    {"-0", kOk, -0.0, "", true},
    {"-0.000e-99999999999999999999", kOk, -0.0, "", true},
    {" \t\n\v\f\r42\n", kOk, 42.0, "\n", false},
    {"0x1A", kOk, 0.0, "x1A", false},
    {"inf", kBad, 0, "inf", false},
    {"1,000", kOk, 1.0, ",000", false},
    // hard cases, each expected double written out: halfway between two
    // doubles (ties go to the even one), just above halfway by a long tail,
    // the smallest and largest normal doubles and the tie above the largest
    {"9007199254740993", kOk, 0x1p+53, "", true},
    {"9007199254740995", kOk, 0x1.0000000000002p+53, "", true},
    {"9007199254740993.000000000000000000000001", kOk, 0x1.0000000000001p+53, "", true},
    {"1.00000000000000011102230246251565404236316680908203125", kOk, 0x1p+0, "", true},
    {"1.000000000000000111022302462515654042363166809082031251", kOk, 0x1.0000000000001p+0, "",
     true},
    {"0.1", kOk, 0x1.999999999999ap-4, "", true},
    {"123456789012345678901234567890e-10", kOk, 0x1.56a95319d63e1p+63, "", true},
    {"2.2250738585072014e-308", kOk, 0x1p-1022, "", true},
    {"1.7976931348623157e308", kOk, 0x1.fffffffffffffp+1023, "", true},
    {"1.79769313486231580793728971405303415079934132710037826936173e308", kOk,
     0x1.fffffffffffffp+1023, "", true},
    {"1.79769313486231580793728971405303415079934132710037826936173778980444968292764750946649"
     "017977587207096330286416692887910946555547851940402630657488671505820681908902000708383"
     "676273854845817711531764475730270069855571366959622842914819860834936475292719074168444"
     "365510704342711559699508093042880177904174497792e308",
     kRange, 0, "", true},
};

TEST(ScanNumber, TakesTheLongestPrefixThatCanStillBeANumber) {
  for (const NumberCase& c : kNumbers) {
    SCOPED_TRACE(c.text);
    const std::string text = c.text;
    TextSource source(text);
    const NumberScan scan = scanNumber(source);
    EXPECT_EQ(scan.error, c.error);
    if (c.error == kOk) {
      EXPECT_EQ(scan.value, c.value);
      EXPECT_EQ(std::signbit(scan.value), std::signbit(c.value));
    }
    EXPECT_EQ(text.substr(source.consumed()), c.remaining);
    EXPECT_EQ(scan.reachedEnd, c.reachedEnd);
  }
}

// Long mantissas, long runs of zeros and exponents that cancel them: the
// value is the nearest double, as strtod gives, whatever the length.
TEST(ScanNumber, LongDigitStringsConvertToNearest) {
  const std::string digits(5000, '7');
  const std::string zeros(3000, '0');
  const std::string cases[] = {
      digits,
      "0." + zeros + "123e3010",
      "1" + zeros + "e-2990",
      digits + "." + digits,
      "9007199254740993" + zeros + "1e-3000",
      "9007199254740993" + zeros + "e-3000",
      "0." + std::string(320, '0') + "1",
      // 800 digits exactly halfway between two doubles, then a 1: rounds up
      "1.00000000000000011102230246251565404236316680908203125" + std::string(746, '0') + "1",
  };
  for (const std::string& text : cases) {
    TextSource source(text);
    const NumberScan scan = scanNumber(source);
    const double expected = std::strtod(text.c_str(), nullptr);
    SCOPED_TRACE(text.substr(0, 40));
    if (expected == 0.0 || std::isinf(expected) || std::fabs(expected) < 2.2250738585072014e-308) {
      EXPECT_EQ(scan.error, kRange);
    } else {
      EXPECT_EQ(scan.error, kOk);
      EXPECT_EQ(scan.value, expected);
    }
    EXPECT_EQ(source.consumed(), text.size());
  }
}

TEST(ScanNumber, RandomDecimalTextsMatchStrtod) {
  std::mt19937_64 random(5);
  for (int i = 0; i < 20000; ++i) {
    std::string text = std::to_string(random() % 100000000000ULL);
    text.insert(random() % (text.size() + 1), ".");
    text += "e" + std::to_string(static_cast<int>(random() % 700) - 350);
    TextSource source(text);
    const NumberScan scan = scanNumber(source);
    const double expected = std::strtod(text.c_str(), nullptr);
    if (scan.error == kOk)
      ASSERT_EQ(scan.value, expected) << text;
    else
      ASSERT_TRUE(expected == 0.0 || std::isinf(expected) ||
                  std::fabs(expected) < 2.2250738585072014e-308)
          << text;
  }
}

struct WordCase {
  const char* text;
  bool taken;
  const char* word;
  const char* remaining;
};

// text, whether a word was taken, the word kept, what stays unread
const WordCase kWords[] = {
    {"  kN/m\n", true, "kN/m", "\n"},
    {"kN m", true, "kN", " m"},
    {"", false, "", ""},
    {" \n\t", false, "", ""},
    {"abcdefghijklmnopqrstuvwxyz next", true, "abcdefghijklmnopqrs", " next"},
    {"kN/m\xC2\xB2", true, "kN/m\xC2\xB2", ""},
    // 18 bytes, then a two-byte character that would be split: dropped whole
    {"abcdefghijklmnopqr\xC2\xB2 x", true, "abcdefghijklmnopqr", " x"},
    // 17 bytes, then a three-byte character: dropped whole
    {"abcdefghijklmnopq\xE2\x82\xAC", true, "abcdefghijklmnopq", ""},
    // 15 bytes and a four-byte character fit exactly; 16 and it do not
    {"abcdefghijklmno\xF0\x9F\x98\x80", true, "abcdefghijklmno\xF0\x9F\x98\x80", ""},
    {"abcdefghijklmnop\xF0\x9F\x98\x80", true, "abcdefghijklmnop", ""},
    // cut at byte 19 inside a run of continuation bytes with no lead: kept
    {"abcdefghijklmno\x80\x80\x80\x80\x80 x", true, "abcdefghijklmno\x80\x80\x80\x80", " x"},
    // C0 and C1 lead nothing (overlong forms): a cut after them keeps them
    {"abcdefghijklmnopqr\xC0\x80 x", true, "abcdefghijklmnopqr\xC0", " x"},
    {"abcdefghijklmnopqr\xC1\xBF", true, "abcdefghijklmnopqr\xC1", ""},
    // a character already whole at the cut; the next byte is a stray
    {"abcdefghijklmnopq\xC3\xA9\x80", true, "abcdefghijklmnopq\xC3\xA9", ""},
    // not UTF-8: bytes kept as they came
    {"\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80", true,
     "\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80", ""},
};

TEST(ScanWord, KeepsAtMostItsFieldsBytesOfWholeCharacters) {
  for (const WordCase& c : kWords) {
    SCOPED_TRACE(c.text);
    const std::string text = c.text;
    TextSource source(text);
    UnitWord word;
    bool reachedEnd = false;
    EXPECT_EQ(scanWord(source, word, reachedEnd), c.taken);
    EXPECT_EQ(word.view(), c.word);
    EXPECT_EQ(text.substr(source.consumed()), c.remaining);
    EXPECT_EQ(reachedEnd, source.consumed() == text.size());
  }
}

// Three words of exactly 19 bytes fill the problem's three adjacent unit
// fields; none runs into the next. A NUL byte is part of a word.
TEST(InputReader, FullUnitWordsStayInTheirFields) {
  const std::string a(19, 'a'), b(19, 'b'), c(19, 'c');
  const std::string text = a + " " + b + "\n" + c + " k" + std::string(1, '\0') + "N m";
  TextSource source(text);
  InputReader reader(source);
  BeamProblem problem;
  UnitWord nul;
  UnitWord last;
  reader.readWord(problem.weightUnit);
  reader.readWord(problem.forceUnit);
  reader.readWord(problem.lengthUnit);
  reader.readWord(nul);
  reader.readWord(last);
  EXPECT_EQ(problem.weightUnit.view(), a);
  EXPECT_EQ(problem.forceUnit.view(), b);
  EXPECT_EQ(problem.lengthUnit.view(), c);
  EXPECT_EQ(std::string_view(nul.text, 4), std::string_view("k\0N\0", 4));
  EXPECT_EQ(last.view(), "m");
}

using ReaderState = InputReader<TextSource>::State;
using Stop = ReadStop::Kind;

struct ReaderRun {
  const char* input;
  double L, W;
  const char* unit;
  ReaderState state;
  int stored;        // values stored, the unit word among them
  Stop stop;         // why the reads stopped
  const char* seen;  // what stood where a number was expected
  bool cut = false;  // and more stood after it
};

// input -> L, W, first unit read after them, the reader's final state, the
// values stored, why the reads stopped and what stood there (the question
// that stopped them is the one after the stored values)
const ReaderRun kRuns[] = {
    {"6 2 kN ", 6, 2, "kN", ReaderState::kGood, 3, Stop::kNone, ""},
    {"6 2 kN", 6, 2, "kN", ReaderState::kEnd, 3, Stop::kNone, ""},
    {"6 2", 6, 2, "", ReaderState::kEnd, 2, Stop::kEnded, ""},
    {"6 x 3 kN", 6, 0, "", ReaderState::kFailed, 1, Stop::kNotANumber, "x"},
    {"1e999 2 kN", 0, 0, "", ReaderState::kFailed, 0, Stop::kOutOfRange, "1e999"},
    {"5kN 2 kN", 5, 0, "", ReaderState::kFailed, 1, Stop::kNotANumber, "kN"},
    {"", 0, 0, "", ReaderState::kFailed, 0, Stop::kEnded, ""},
    {"6 2 ", 6, 2, "", ReaderState::kFailed, 2, Stop::kEnded, ""},  // ends before the unit
    {"6 +.e5x 2", 6, 0, "", ReaderState::kFailed, 1, Stop::kNotANumber, "+.e5x"},
    {"6 \t-", 6, 0, "", ReaderState::kFailed, 1, Stop::kNotANumber, "-"},
    // what stood there is kept to 40 bytes
    {"6 1e+x0123456789012345678901234567890123456789012345 2", 6, 0, "", ReaderState::kFailed, 1,
     Stop::kNotANumber, "1e+x012345678901234567890123456789012345", true},
    {"6 x123456789012345678901234567890123456789 2", 6, 0, "", ReaderState::kFailed, 1,
     Stop::kNotANumber, "x123456789012345678901234567890123456789"},  // 40 bytes: all
    {"6 x1234567890123456789012345678901234567890", 6, 0, "", ReaderState::kFailed, 1,
     Stop::kNotANumber, "x123456789012345678901234567890123456789", true},
    // a byte-order mark: skipped at the very start only; a part of one fails
    {"\xEF\xBB\xBF"
     "6 2 kN ",
     6, 2, "kN", ReaderState::kGood, 3, Stop::kNone, ""},
    {"6 \xEF\xBB\xBF"
     "2 kN",
     6, 0, "", ReaderState::kFailed, 1, Stop::kNotANumber,
     "\xEF\xBB\xBF"
     "2"},
    {"\xEF\xBB"
     "6 2 kN",
     0, 0, "", ReaderState::kFailed, 0, Stop::kNotANumber,
     "\xEF\xBB"
     "6"},
    {"\xEF\xBC\x96 2", 0, 0, "", ReaderState::kFailed, 0, Stop::kNotANumber, "\xEF\xBC\x96"},
    {"\xEF\xBB\xBF", 0, 0, "", ReaderState::kFailed, 0, Stop::kEnded, ""},
};

TEST(InputReader, AFailedOrEndedReadStopsAllLaterReads) {
  for (const ReaderRun& r : kRuns) {
    SCOPED_TRACE(r.input);
    TextSource source(r.input);
    InputReader reader(source);
    double L = 0.0;
    double W = 0.0;
    UnitWord unit;
    unit.text[0] = 'z';
    reader.readNumber(L);
    reader.readNumber(W);
    reader.readWord(unit);
    EXPECT_EQ(L, r.L);
    EXPECT_EQ(W, r.W);
    EXPECT_EQ(unit.view(), r.unit);
    EXPECT_EQ(reader.state(), r.state);
    EXPECT_EQ(reader.valuesRead(), r.stored);
    const ReadStop stop = reader.stop();
    EXPECT_EQ(stop.kind, r.stop);
    EXPECT_EQ(stop.question, r.stop == Stop::kNone ? 0 : r.stored + 1);
    EXPECT_EQ(stop.seenText(), r.seen);
    EXPECT_EQ(stop.seenCut, r.cut);
  }
}

}  // namespace
}  // namespace beam
