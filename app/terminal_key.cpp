#include "app/terminal_key.h"

#include "app/utf8.h"

namespace beam {
namespace {

constexpr unsigned char kEscape = 0x1b;
// A press longer than this is not a key; whatever it was, it ends here.
constexpr std::size_t kLongestPress = 32;

}  // namespace

// A byte that starts a character (at the start, or after ESC for Alt+key).
bool KeyPressParser::startCharacter(unsigned char byte) {
  continuationBytes_ = utf8ContinuationCount(byte);
  if (continuationBytes_ == 0) return true;
  state_ = State::kUtf8;
  return false;
}

bool KeyPressParser::feed(unsigned char byte) {
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
      return !(byte >= 0x20 && byte <= 0x3F);
    case State::kLinuxFunction:
    case State::kSs3:
      return true;
    case State::kUtf8:
      if (!isUtf8Continuation(byte)) return true;
      return --continuationBytes_ == 0;
  }
  return true;
}

}  // namespace beam
