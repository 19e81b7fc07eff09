// The run sequence: one straight pass from the introduction to the key wait.
#pragma once

#include <array>
#include <iosfwd>

#include "analysis/beam.h"
#include "app/input.h"

namespace beam {

/// The seven prompts, in the order of the BeamProblem's fields: L, W, Ax,
/// Bx (numbers), then weightUnit, forceUnit, lengthUnit (words).
extern const std::array<const char*, 7> kPrompts;

/// Writes the seven prompts to out, each followed by its read from in.
/// Before each read, while the input is still good, out is flushed so the
/// prompt is seen while the program waits.
BeamProblem readBeamProblem(InputReader& in, std::ostream& out);

/// Writes everything after the introduction for one problem: the vertical
/// report, the horizontal block and the closing line. No key wait.
void printReport(const BeamProblem& problem, std::ostream& out);

/// The whole run on standard input and output: introduction, the seven
/// reads, the report, the closing line, the key wait.
void runProgram();

}  // namespace beam
