// TypedInput where the program edits no line (what it does:
// app/typed_input.h): the Windows console edits its own, the page has its
// answer field. Standard input is read as FileSource reads it.
#include "app/typed_input.h"

namespace beam {

class LineEditor {};

TypedInput::TypedInput(std::FILE* file, bool, bool) : file_(file) {}
TypedInput::~TypedInput() = default;
int TypedInput::editedPeek() { return file_.peek(); }
void TypedInput::askingOnTerminal(std::string_view) {}
void TypedInput::doneOnTerminal() {}

}  // namespace beam
