// TypedInput on POSIX terminals (what it does: app/typed_input.h). How:
// for each line a question needs, the terminal is checked in its own line
// mode first. A line typed ahead (already shown by the terminal's echo) is
// read as the terminal hands it over. Otherwise the terminal is put in the
// editor's mode (no line editing, no echo; the signal keys still work) just
// before the question is written, the keys are read a byte at a time
// (app/posix/edit_keys.h) and the line is shown by LineView
// (app/posix/line_edit.h). After Enter the terminal's mode goes back unless
// more keys are already waiting (a paste), which the next line then takes.
// The mode and its signals: app/posix/edit_mode.h.
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/input_ready.h"
#include "app/posix/edit_keys.h"
#include "app/posix/edit_mode.h"
#include "app/posix/key_wait_timing.h"
#include "app/posix/line_edit.h"
#include "app/typed_input.h"

namespace beam {
namespace {

int waitingBytes() {
  int count = 0;
  return ioctl(STDIN_FILENO, FIONREAD, &count) == 0 ? count : 0;
}

int terminalColumns() {
  struct winsize size = {};
  return ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

void writeAll(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      return;
    }
  }
}

// Standard input and output are one terminal, the controlling one, whose
// TERM can move the cursor.
bool editable() {
  const char* type = std::getenv("TERM");
  struct stat in = {};
  struct stat out = {};
  return type != nullptr && *type != '\0' && std::strcmp(type, "dumb") != 0 &&
         fstat(STDIN_FILENO, &in) == 0 && fstat(STDOUT_FILENO, &out) == 0 &&
         in.st_rdev == out.st_rdev && tcgetsid(STDIN_FILENO) == getsid(0);
}

// The terminal takes its input as UTF-8 (IUTF8, set by most terminals on
// Linux): its own erase removes a whole character, and so does the editor's.
bool terminalIsUtf8() {
#ifdef IUTF8
  struct termios now = {};
  return tcgetattr(STDIN_FILENO, &now) == 0 && (now.c_iflag & IUTF8) != 0;
#else
  return false;
#endif
}

}  // namespace

class LineEditor {
 public:
  explicit LineEditor(bool utf8) : utf8_(utf8), keys_(utf8) {}
  ~LineEditor() { leave(); }

  // The next line and its line end; false at the end of input.
  bool readLine(std::string& line) {
    if (!ahead_.empty()) {
      line = ahead_.front();
      ahead_.erase(ahead_.begin());
      handOver(line);
      return true;
    }
    if (ended_) return false;
    if (!editing_ && queued_.empty() && (waitingBytes() > 0 || !enter())) {
      return readAsTyped(line);
    }
    if (!editing_) enter();
    return edit(line);
  }

  // Before a question is written: what stands on its row, and the
  // editor's mode set now when the reader will need a new line.
  void asking(std::string_view text, bool needsLine) {
    const std::size_t end = text.rfind('\n');
    if (end == std::string_view::npos) {
      shown_ += text;
    } else {
      shown_.assign(text.substr(end + 1));
    }
    if (needsLine && !editing_ && !ended_ && ahead_.empty() && waitingBytes() == 0) enter();
  }

  void leave() {
    if (editing_) endEditMode();
    editing_ = false;
  }

 private:
  bool enter() {
    editing_ = startEditMode();
    return editing_;
  }

  // A line as the terminal's own line editing hands it over (or the end).
  bool readAsTyped(std::string& line) {
    char bytes[4096];
    for (;;) {
      const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
      if (n > 0) {
        line.assign(bytes, static_cast<std::size_t>(n));
        handOver(line);
        return true;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
          waitForInput(STDIN_FILENO, -1) != Ready::kGone) {
        continue;
      }
      ended_ = true;
      return false;
    }
  }

  void handOver(const std::string& line) {
    const bool whole = !line.empty() && line.back() == '\n';
    history_.add(whole ? line.substr(0, line.size() - 1) : line);
    if (whole) {
      shown_.clear();
    } else {
      shown_ += line;
    }
  }

  bool edit(std::string& line) {
    LineView view(shown_, terminalColumns(), utf8_);
    for (;;) {
      if (editModeResized()) writeAll(view.resize(terminalColumns()));
      if (editModeResumed()) writeAll(view.redraw());
      if (queued_.empty() && !readKeys()) return endOfInput();
      while (!queued_.empty()) {
        EditPress press = std::move(queued_.front());
        queued_.erase(queued_.begin());
        EditLine next = view.line();
        if (press.key == EditKey::kEnter) {
          writeAll(view.finish());
          line = view.line().text + '\n';
          handOver(line);
          takeBurst();
          return true;
        }
        if (press.key == EditKey::kEndOfInput && next.text.empty()) return endOfInput();
        if (press.key == EditKey::kEndOfInput && next.cursor == next.text.size()) {
          line = next.text;  // as line mode hands it over: no line end
          handOver(line);
          takeBurst();
          return true;
        }
        if (press.key == EditKey::kEndOfInput) press.key = EditKey::kDelete;
        if (press.key == EditKey::kUp || press.key == EditKey::kDown) {
          if (!history_.recall(next, press.key == EditKey::kUp ? -1 : 1)) continue;
        } else {
          applyKey(next, press, utf8_);
        }
        writeAll(view.show(next));
      }
    }
  }

  // Reads the next byte (or finds that a held key is whole); false at the
  // terminal's end.
  bool readKeys() {
    // Behind `bg` the job stops (SIGTTIN) as a read in line mode stops it;
    // `fg` continues it with the editor's mode set, and the line is drawn
    // again. Not stopped, the read itself stops it or fails, as line mode's.
    const bool behind = tcgetpgrp(STDIN_FILENO) != getpgrp();
    if (behind && kill(0, SIGTTIN) == 0 && tcgetpgrp(STDIN_FILENO) == getpgrp()) return true;
    const int wait = !keys_.holding()     ? -1
                     : keys_.mayEndHere() ? kEscapeFollowMs
                                          : kSequenceFollowMs;
    const Ready ready = behind ? Ready::kInput : waitForInput(STDIN_FILENO, wait);
    if (ready == Ready::kTimedOut) keys_.cut(queued_);
    if (ready == Ready::kInput) {
      unsigned char byte = 0;
      const ssize_t n = ::read(STDIN_FILENO, &byte, 1);
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) return false;
      if (n == 1) keys_.feed(byte, queued_);
    }
    return ready != Ready::kGone && ready != Ready::kUnwatchable;
  }

  // After Enter, what came with it (a paste, answers sent at once) is taken
  // now. Whole lines of plain text at its front are shown at once, as the
  // terminal's echo shows a burst, and handed over later as typed ahead;
  // the rest is edited. With nothing left, the terminal's mode goes back.
  void takeBurst() {
    if (const int count = waitingBytes(); count > 0) {
      std::vector<unsigned char> bytes(static_cast<std::size_t>(count));
      const ssize_t n = ::read(STDIN_FILENO, bytes.data(), bytes.size());
      bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
      for (const unsigned char byte : bytes) keys_.feed(byte, queued_);
    }
    for (;;) {
      auto end = queued_.begin();
      while (end != queued_.end() && end->key == EditKey::kText) ++end;
      if (end == queued_.end() || end->key != EditKey::kEnter) break;
      std::string line;
      for (auto press = queued_.begin(); press != end; ++press) line += press->text;
      line += '\n';
      writeAll(line);
      ahead_.push_back(line);
      queued_.erase(queued_.begin(), end + 1);
    }
    if (queued_.empty()) leave();
  }

  bool endOfInput() {
    ended_ = true;
    leave();
    return false;
  }

  bool utf8_;
  bool editing_ = false;
  bool ended_ = false;
  std::string shown_;  // what stands before the line on its row: the prompts since the last line
  EditKeyDecoder keys_;
  std::vector<EditPress> queued_;   // keys read, not yet applied
  std::vector<std::string> ahead_;  // whole lines already shown, to hand over
  AnswerHistory history_;
};

TypedInput::TypedInput(std::FILE* file, bool typed, bool utf8) : file_(file) {
  if (typed && editable()) editor_ = new LineEditor(utf8 || terminalIsUtf8());
}

TypedInput::~TypedInput() { delete editor_; }

int TypedInput::editedPeek() {
  if (next_ < line_.size()) return static_cast<unsigned char>(line_[next_]);
  next_ = 0;
  if (!editor_->readLine(line_)) {
    line_.clear();
    return kEndOfInput;
  }
  return static_cast<unsigned char>(line_[0]);
}

void TypedInput::askingOnTerminal(std::string_view text) {
  std::size_t rest = next_;
  while (rest < line_.size() && isWhiteSpace(static_cast<unsigned char>(line_[rest]))) ++rest;
  editor_->asking(text, rest == line_.size());
}

void TypedInput::doneOnTerminal() { editor_->leave(); }

}  // namespace beam
