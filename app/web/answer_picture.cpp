// showAnswerPicture in the browser page (what it does: answer_picture.h):
// the description goes to the page's Module.beamPicture as bytes
// (web/beam_io.js), beside the program's output, not in it.
#include "app/answer_picture.h"

#include <cstddef>
#include <string>

#include "analysis/beam_picture.h"

extern "C" void beam_picture(const char* text, std::size_t length);

namespace beam {

void showAnswerPicture(const BeamProblem& problem, bool complete) {
  const std::string text = describeBeamPicture(problem, complete);
  beam_picture(text.data(), text.size());
}

}  // namespace beam
