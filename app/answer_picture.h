// The picture of a run's answer, where there is somewhere to show it.
#pragma once

#include "analysis/beam.h"

namespace beam {

/// Hands the browser page this run's picture (describeBeamPicture's text,
/// analysis/beam_picture.h) once the report is written; `complete` tells
/// that every answer was read. A terminal or console has nowhere to show
/// it: there this does nothing, and the program's bytes are the same.
void showAnswerPicture(const BeamProblem& problem, bool complete);

}  // namespace beam
