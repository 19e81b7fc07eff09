#include "app/terminal_key.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include "app/utf8.h"

namespace beam {
namespace {

constexpr unsigned char kEscape = 0x1b;
// A press longer than this is not a key; whatever it was, it ends here. A
// bracketed paste is the exception: it ends at its closing sequence.
constexpr std::size_t kLongestPress = 32;
constexpr std::string_view kPasteStart = "200";
constexpr std::string_view kPasteEnd = "\x1b[201~";
// After ESC [ M, an X10 mouse report has a button byte and two coordinates.
constexpr int kX10MouseBytes = 3;

}  // namespace

bool localeIsUtf8(const char* lcAll, const char* lcCtype, const char* lang) {
  std::string_view name;
  for (const char* named : {lcAll, lcCtype, lang}) {
    if (named != nullptr && *named != '\0') {
      name = named;
      break;
    }
  }
  if (name.empty()) return true;
  const std::size_t dot = name.find('.');
  if (dot == std::string_view::npos) return false;
  // The character set's name without case or hyphens: UTF-8, utf8, UTF8.
  std::string set;
  for (const char c : name.substr(dot + 1, name.find('@') - (dot + 1))) {
    if (c != '-') set += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return set == "utf8";
}

bool localeIsUtf8() {
  return localeIsUtf8(std::getenv("LC_ALL"), std::getenv("LC_CTYPE"), std::getenv("LANG"));
}

// A byte that starts a character (at the start, or after ESC for Alt+key).
bool KeyPressParser::startCharacter(unsigned char byte) {
  bytesToCome_ = utf8_ ? utf8ContinuationCount(byte) : 0;
  if (bytesToCome_ == 0) return true;
  state_ = State::kUtf8;
  return false;
}

// The final byte of a CSI sequence: a key, a report, or a paste's start.
bool KeyPressParser::endCsi(unsigned char final) {
  const std::string_view parameters(parameters_, parameterCount_);
  if (final == '~' && parameters == kPasteStart) {
    state_ = State::kPaste;
    return false;
  }
  if (final == 'M' && parameters.empty()) {
    state_ = State::kX10Mouse;
    bytesToCome_ = kX10MouseBytes;
    keyPress_ = false;
    return false;
  }
  const bool mouse = (final == 'M' || (final == 'm' && parameters.starts_with('<'))) &&
                     parameters.find_first_not_of("<0123456789;") == std::string_view::npos;
  const bool focus = (final == 'I' || final == 'O') && parameters.empty();
  keyPress_ = !(mouse || focus);
  return true;
}

// Inside a paste: only its closing sequence ends it.
bool KeyPressParser::followPaste(unsigned char byte) {
  if (byte == static_cast<unsigned char>(kPasteEnd[pasteEndMatched_])) {
    return ++pasteEndMatched_ == kPasteEnd.size();
  }
  pasteEndMatched_ = byte == kEscape ? 1 : 0;
  return false;
}

bool KeyPressParser::feed(unsigned char byte) {
  if (state_ == State::kPaste) return followPaste(byte);
  if (++length_ >= kLongestPress) return true;
  switch (state_) {
    case State::kStart:
      if (byte == kEscape) {
        state_ = State::kEscape;
        return false;
      }
      return startCharacter(byte);
    case State::kEscape:
      if (byte == '[') {
        state_ = State::kCsiFirst;
        return false;
      }
      if (byte == 'O') {
        state_ = State::kSs3;
        return false;
      }
      if (byte == kEscape) {
        // Alt with a key that itself begins with ESC: an arrow, or Esc.
        state_ = State::kEscape;
        return false;
      }
      return startCharacter(byte);
    case State::kCsiFirst:
      if (byte == '[') {
        state_ = State::kLinuxFunction;
        return false;
      }
      state_ = State::kCsiBody;
      [[fallthrough]];
    case State::kCsiBody:
      // Parameter and intermediate bytes go on; a final byte or anything
      // unexpected ends the sequence.
      if (byte >= 0x20 && byte <= 0x3F) {
        if (parameterCount_ < sizeof parameters_) {
          parameters_[parameterCount_++] = static_cast<char>(byte);
        }
        return false;
      }
      return endCsi(byte);
    case State::kSs3:
      // Modifiers come as parameters before the final byte: Shift+F1 is
      // ESC O 2 P (Konsole), Ctrl+F1 ESC O 1 ; 5 P on some terminals.
      return !((byte >= '0' && byte <= '9') || byte == ';');
    case State::kLinuxFunction:
      return true;
    case State::kUtf8:
      if (!isUtf8Continuation(byte)) return true;
      return --bytesToCome_ == 0;
    case State::kX10Mouse:
      // A value sent as a UTF-8 character (mode 1005) is two bytes; one
      // that is not continued was the value itself.
      if (x10Lead_) {
        x10Lead_ = false;
        // (A last value's lead followed by another byte: the byte goes
        // with the report.)
        if (isUtf8Continuation(byte) || bytesToCome_ == 0) return bytesToCome_ == 0;
      }
      x10Lead_ = utf8_ && utf8ContinuationCount(byte) == 1;
      return --bytesToCome_ == 0 && !x10Lead_;
    case State::kPaste:
      // Never here: a paste's bytes go to followPaste() before the switch
      // (they are exempt from the length cap). Named so that the switch
      // covers every state.
      break;
  }
  return true;
}

}  // namespace beam
