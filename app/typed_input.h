// Standard input as the answers are read from it: through the C library's
// buffer, or, where a person types them at a terminal, a line at a time
// from the line editor of the platform (app/posix/line_editor.cpp; on
// Windows the console edits the line itself, and the page has its field:
// there app/typed_input_none.cpp).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/input.h"
#include "app/standard_io.h"

namespace beam {

class LineEditor;

/// A Source (see input.h) over standard input. When standard input and
/// output are both the controlling terminal and TERM is set and not dumb
/// (POSIX), each answer line is typed on a line the program edits, as a
/// shell's line editor does (the keys: the manual, "Editing an answer"),
/// and Enter hands the reader the line and its line end, the bytes it
/// would have read had the line been typed plainly (Ctrl+D at the line's
/// end hands it over without one, as line mode does). Lines typed before
/// their question (already shown by the terminal) are read as the terminal
/// hands them over, each once; so is everything where there is no editor:
/// exactly as FileSource reads.
class TypedInput {
 public:
  /// `typed`: standard input and output are terminals (answersAreTyped);
  /// `utf8`: the locale's character set is UTF-8 (localeIsUtf8); the line
  /// is UTF-8 too where the terminal takes UTF-8 input (IUTF8).
  TypedInput(std::FILE* file, bool typed, bool utf8);
  ~TypedInput();
  TypedInput(const TypedInput&) = delete;
  TypedInput& operator=(const TypedInput&) = delete;

  // Without an editor, as FileSource (the same few instructions a byte).
  int peek() { return editor_ == nullptr ? file_.peek() : editedPeek(); }
  void take() {
    if (editor_ == nullptr) {
      file_.take();
    } else {
      ++next_;  // after a peek that found a byte of the line
    }
  }

  /// Told each question's text (and what came before it, since the last
  /// flush) before it is written: the editor starts its line after it.
  void asking(std::string_view text) {
    if (editor_ != nullptr) askingOnTerminal(text);
  }

  /// The reads are over: the terminal's own line editing back.
  void done() {
    if (editor_ != nullptr) doneOnTerminal();
  }

 private:
  int editedPeek();
  void askingOnTerminal(std::string_view text);
  void doneOnTerminal();

  FileSource file_;
  LineEditor* editor_ = nullptr;  // none: standard input as FileSource reads it
  std::string line_;              // the line handed over, read up to next_
  std::size_t next_ = 0;
};

}  // namespace beam
