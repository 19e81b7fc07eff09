// The run sequence: one straight pass from the introduction to the key wait.
#pragma once

#include <array>
#include <cstddef>
#include <string>

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
/// gathered.
template <class Source>
BeamProblem readBeamProblem(InputReader<Source>& in, Output& out) {
  BeamProblem problem;
  double* const numbers[] = {&problem.L, &problem.W, &problem.Ax, &problem.Bx};
  UnitWord* const words[] = {&problem.weightUnit, &problem.forceUnit, &problem.lengthUnit};
  std::size_t next = 0;
  const auto prompt = [&] {
    out.text += kPrompts[next++];
    if (in.good()) out.flush();
  };
  for (double* number : numbers) {
    prompt();
    in.readNumber(*number);
  }
  for (UnitWord* word : words) {
    prompt();
    in.readWord(*word);
  }
  return problem;
}

/// Appends everything after the introduction for one problem: the vertical
/// report, the horizontal block and the closing line. No key wait.
void printReport(const BeamProblem& problem, std::string& text);

/// The whole run on standard input and output: introduction, the seven
/// reads, the report, then the closing line, written by the key wait once
/// it has dropped what was typed before (key_wait.h), and the wait. Returns when the run is over;
/// output that cannot be written ends the program there instead, with
/// status 1 (Output::flush). With `noteUnreadAnswer`, an answer that could
/// not be read (or input that ended too soon) gets its note on standard
/// error (answer_note.h) after the report, before the closing line; the
/// page has notes of its own.
void runProgram(bool noteUnreadAnswer);

}  // namespace beam
