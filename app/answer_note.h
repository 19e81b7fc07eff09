// The note on standard error when an answer cannot be read.
#pragma once

#include <string>

#include "app/input.h"

namespace beam {

/// The one line (with its line end) that says which answer could not be
/// read, what stood there, and what the report takes instead; "" when every
/// answer was read.
///
/// `typed`: the answers come from a person at a terminal, who is told to
/// press a key and start again (rather than type the rest of the answers
/// into the key wait).
///
/// What stood there is quoted with printable ASCII and visible UTF-8
/// characters as they are, and every other byte as \xNN: controls, and
/// characters that look like a blank or like nothing, such as U+00A0 and
/// U+200B. So no byte of it reaches the terminal as a control, and a
/// blank-looking one is seen for what it is.
/// Examples:
///   question 2, kNotANumber, "x" -> beam: answer 2 (W, the load) is not a
///     number: "x". It and the answers after it are taken as 0, the unit
///     words as empty.
///   question 5, kEnded -> beam: the input ended before answer 5 (the unit
///     for the weight). The unit words from there on are taken as empty.
std::string unreadAnswerNote(const ReadStop& stop, bool typed);

}  // namespace beam
