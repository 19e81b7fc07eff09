// Answers typed at a terminal, without the reports the terminal sends among
// them.
#pragma once

#include <cstddef>

#include "app/input.h"
#include "app/terminal_key.h"
#include "app/utf8.h"

namespace beam {

/// A Source (see input.h) over another that, while `active`, leaves out what
/// a terminal sends of its own among the typed bytes: focus reports
/// (ESC [ I, ESC [ O), mouse reports (X10 and mode 1005, SGR, urxvt) and
/// the marks around a paste (ESC [ 200 ~, ESC [ 201 ~, the pasted text
/// kept), each only when it is whole. Everything else passes unchanged:
/// a key's sequence (an arrow's ESC [ D), an ESC not followed by '[', a
/// report cut short. Not active, it passes every byte.
/// Examples: "6\x1b[I\n" -> "6\n"; "\x1b[200~6 2\x1b[201~" -> "6 2";
/// "5\x1b[<0;12;3M\x1b[<0;12;3m0" -> "50"; "5\x1b[D" -> "5\x1b[D".
template <class Source>
class WithoutTerminalReports {
 public:
  WithoutTerminalReports(Source& source, bool active, bool utf8)
      : source_(source), active_(active), utf8_(utf8) {}

  int peek() {
    if (next_ < end_) return held_[next_];
    if (!active_) return source_.peek();
    while (source_.peek() == kEscape && !holdSequence()) {
    }
    return next_ < end_ ? held_[next_] : source_.peek();
  }

  void take() {
    if (next_ < end_) {
      ++next_;
    } else {
      source_.take();
    }
  }

 private:
  static constexpr int kEscape = 0x1b;

  // Takes the sequence that starts here. False when it was a report (it is
  // dropped; look again); true when its bytes are held to pass on.
  bool holdSequence() {
    next_ = 0;
    end_ = 0;
    hold();
    if (source_.peek() != '[') return true;
    KeyPressParser parser(utf8_);
    parser.feed(kEscape);
    bool whole = false;
    while (!whole && source_.peek() != kEndOfInput) {
      // An X10 value's lead byte that nothing continues was the value.
      if (parser.mayEndHere() && !parser.isKeyPress() &&
          !isUtf8Continuation(static_cast<unsigned char>(source_.peek()))) {
        whole = true;
        break;
      }
      whole = parser.feed(hold());
      if (parser.inPaste()) return dropHeld();  // the mark that opens a paste
    }
    if (whole && (!parser.isKeyPress() || held() == "\x1b[201~")) return dropHeld();
    return true;
  }

  unsigned char hold() {
    const auto byte = static_cast<unsigned char>(source_.peek());
    source_.take();
    held_[end_++] = byte;
    return byte;
  }
  std::string_view held() const { return {reinterpret_cast<const char*>(held_), end_}; }
  bool dropHeld() {
    end_ = 0;
    return false;
  }

  Source& source_;
  bool active_;
  bool utf8_;
  unsigned char held_[64] = {};  // a press is 32 bytes at most (KeyPressParser)
  std::size_t next_ = 0;
  std::size_t end_ = 0;
};

}  // namespace beam
