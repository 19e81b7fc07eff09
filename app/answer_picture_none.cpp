// showAnswerPicture on a terminal or console (what it does:
// answer_picture.h): nothing to show it on.
#include "app/answer_picture.h"

namespace beam {

void showAnswerPicture(const BeamProblem&, bool) {}

}  // namespace beam
