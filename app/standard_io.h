// Standard input and output as the program uses them, through the C
// library's streams: input is read one character at a time through its
// buffer; output text is gathered first, then put on standard output at the
// points where a person must see it.
#pragma once

#include <cstdio>
#include <string>

#include "app/input.h"
#include "app/next_character.h"

namespace beam {

/// A Source (see input.h) over a C stream such as stdin, with one character
/// of lookahead kept here: peek() reads it, take() lets it go. The file is
/// read only through this source for as long as it is used.
class FileSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  int peek() {
    if (next_ == kNone) next_ = nextCharacter(file_);
    return next_ == EOF ? kEndOfInput : next_;
  }
  void take() { next_ = kNone; }

 private:
  static constexpr int kNone = -2;  // neither a character nor EOF
  std::FILE* file_;
  int next_ = kNone;
};

/// The program's one way to standard output. Writers append to `text`;
/// flush() puts what was gathered on the file and flushes it (when the run
/// does so: run.h). Line ends are the C library's text line ends (CR LF on
/// Windows).
class Output {
 public:
  /// Writes to file; with nullptr the text is only gathered (tests, fuzzing).
  explicit Output(std::FILE* file) : file_(file) {}

  std::string text;

  /// Writes the gathered text and flushes the file; the text is then empty.
  /// Without a file nothing happens and the text stays. A write or flush
  /// that fails (disk full, output closed, I/O error) ends the program:
  /// one line on standard error, such as "beam: cannot write the output: No
  /// space left on device", and exit status 1, so that a lost report is
  /// never taken for a finished run. (A reader that goes away ends it by
  /// SIGPIPE first, where the system has that signal.)
  void flush();

  /// As flush(), but a failure is returned (its errno value; 0 when all
  /// was written) rather than ending the program, for a caller that must
  /// put something back first. Then call fail() with it.
  int write();

  /// Ends the program for output that could not be written, as flush()
  /// does: the line on standard error, then exit status 1.
  [[noreturn]] static void fail(int error);

 private:
  std::FILE* file_;
};

}  // namespace beam
