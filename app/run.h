// The run sequence: one straight pass from the introduction to the key wait.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <type_traits>

#include "analysis/beam.h"
#include "app/input.h"
#include "app/standard_io.h"

namespace beam {

/// The seven prompts, in the order of the BeamProblem's fields: L, W, Ax,
/// Bx (numbers), then weightUnit, forceUnit, lengthUnit (words).
extern const std::array<const char*, 7> kPrompts;

/// Appends each of the seven prompts to out's text, then reads its value
/// from in. Before each read, while the input is still good, out is flushed,
/// so the prompt (and everything before it) is seen while the program waits;
/// once a read has failed or met the end, the remaining prompts are only
/// gathered. `typed`, where the answers come from a TypedInput
/// (typed_input.h), is told each prompt before it is written and the end of
/// the reads; without one (nullptr) nothing of it is built.
template <class Source, bool kKeepsSeen, class Typed = std::nullptr_t>
BeamProblem readBeamProblem(InputReader<Source, kKeepsSeen>& in, Output& out,
                            Typed typed = nullptr) {
  constexpr bool kTold = !std::is_null_pointer_v<Typed>;
  BeamProblem problem;
  double* const numbers[] = {&problem.L, &problem.W, &problem.Ax, &problem.Bx};
  UnitWord* const words[] = {&problem.weightUnit, &problem.forceUnit, &problem.lengthUnit};
  std::size_t next = 0;
  const auto prompt = [&] {
    out.text += kPrompts[next++];
    if (!in.good()) return;
    if constexpr (kTold) {
      typed->asking(out.text);
      if (const int error = out.write(); error != 0) {
        typed->done();  // the terminal's settings back before the end
        Output::fail(error);
      }
    } else {
      out.flush();
    }
  };
  for (double* number : numbers) {
    prompt();
    in.readNumber(*number);
  }
  for (UnitWord* word : words) {
    prompt();
    in.readWord(*word);
  }
  if constexpr (kTold) typed->done();
  return problem;
}

/// Appends everything after the introduction for one problem: the vertical
/// report, the horizontal block and the closing line. No key wait.
void printReport(const BeamProblem& problem, std::string& text);

/// The banner, legend and figure, appended to out's text.
void printIntroduction(Output& out);

/// After the reads: the report, flushed; the picture (answer_picture.h);
/// `note` on standard error (empty: nothing); then the closing line,
/// written by the key wait once it has dropped what was typed before
/// (key_wait.h), and the wait. With `typedInputEnded` (typed answers met
/// an end-of-input mark: nobody is left to press a key) the closing line
/// is flushed and there is no wait.
void finishRun(const BeamProblem& problem, bool complete, const std::string& note,
               bool typedInputEnded, Output& out);

/// Says why an answer could not be read (unreadAnswerNote, answer_note.h).
using UnreadAnswerNote = std::string (*)(const ReadStop& stop, bool typed);

/// The whole run on standard output: introduction, the seven reads, then
/// finishRun. The answers are read from `answers`: a FileSource over
/// standard input; where they are typed at a terminal (`typed`),
/// WithoutTerminalReports over it (terminal_reports.h). With `typedInput`,
/// the TypedInput beneath (typed_input.h) is told of each prompt.
///
/// With `note`, an answer that could not be read (or input that ended too
/// soon) gets its note on standard error. The page passes nullptr (it has
/// notes of its own) and reads without keeping what stood there
/// (`kKeepsSeen` false), so its program stays small.
///
/// Typed answers that met their end (Ctrl+D, a driver's end-of-input mark,
/// also before the last answer) mean no wait, and the note asks for no key.
///
/// Returns when the run is over. Output that cannot be written ends the
/// program there instead, with status 1 (Output::flush).
template <class Answers, bool kKeepsSeen = true, class Typed = std::nullptr_t>
void runProgram(Answers& answers, bool typed, UnreadAnswerNote note, Typed typedInput = nullptr) {
  Output out(stdout);
  printIntroduction(out);
  InputReader<Answers, kKeepsSeen> in(answers);
  const BeamProblem problem = readBeamProblem(in, out, typedInput);
  // Every read ends with the next character looked at: this peek reads
  // nothing more.
  const bool ended = typed && answers.peek() == kEndOfInput;
  finishRun(problem, in.valuesRead() == static_cast<int>(kPrompts.size()),
            note == nullptr ? std::string() : note(in.stop(), typed && !ended), ended, out);
}

}  // namespace beam
