#include "app/answer_note.h"

#include <array>
#include <string_view>

#include "app/utf8.h"

namespace beam {
namespace {

constexpr std::array<std::string_view, 7> kAnswerNames = {
    "L, the length",
    "W, the load",
    "Ax, the horizontal force at A",
    "Bx, the horizontal force at B",
    "the unit for the weight",
    "the unit for forces",
    "the unit for lengths",
};
constexpr int kFirstWord = 5;

// Characters that look like a blank or like nothing: shown by their bytes.
constexpr bool looksBlank(unsigned long point) {
  return point == 0xA0 || point == 0xAD || (point >= 0x2000 && point <= 0x200F) ||
         (point >= 0x2028 && point <= 0x202F) || (point >= 0x205F && point <= 0x206F) ||
         point == 0x3000 || point == 0xFEFF;
}

// The length of the UTF-8 character at the start of text when it is safe
// to show as it is (whole, no control, not blank-looking), or 0.
std::size_t printableCharacter(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const int continuations = utf8ContinuationCount(byte(0));
  const auto length = static_cast<std::size_t>(1 + continuations);
  if (continuations == 0 || length > text.size()) return 0;
  unsigned long point = byte(0) & (0x3Fu >> continuations);
  for (std::size_t i = 1; i < length; ++i) {
    if (!isUtf8Continuation(byte(i))) return 0;
    point = point << 6 | (byte(i) & 0x3Fu);
  }
  return point < 0xA0 || looksBlank(point) ? 0 : length;
}

std::string quoted(std::string_view text, bool cut) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += text[i++];
    } else if (const std::size_t length = printableCharacter(text.substr(i)); length > 0) {
      out += text.substr(i, length);
      i += length;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
      ++i;
    }
  }
  return out + (cut ? "...\"" : "\"");
}

}  // namespace

std::string unreadAnswerNote(const ReadStop& stop, bool typed) {
  if (stop.kind == ReadStop::Kind::kNone || stop.question < 1 || stop.question > 7) return "";
  const std::string answer =
      "answer " + std::to_string(stop.question) + " (" +
      std::string(kAnswerNames[static_cast<std::size_t>(stop.question - 1)]) + ")";
  std::string note = "beam: ";
  if (stop.kind == ReadStop::Kind::kEnded) {
    note += "the input ended before " + answer + ".";
    note += stop.question < kFirstWord
                ? " The answers from there on are taken as 0, the unit words as empty."
                : " The unit words from there on are taken as empty.";
  } else {
    note += answer;
    note += stop.kind == ReadStop::Kind::kOutOfRange ? " is out of range: " : " is not a number: ";
    note += quoted(stop.seenText(), stop.seenCut) + ".";
    note += " It and the answers after it are taken as 0, the unit words as empty.";
  }
  if (typed) note += " Press a key, then run beam again.";
  return note + "\n";
}

}  // namespace beam
