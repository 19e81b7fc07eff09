// The plainest C++ program that writes the typical run's output the way beam
// does: each piece gathered in a std::string, then written through the C
// library's standard output and flushed at beam's flush points (after the
// introduction and the first prompt, after each later prompt, and once after
// the report). Nothing is computed or read.
#include <cstdio>
#include <string>
#include <string_view>

#include "typical_transcript.h"

namespace {

void writeAndFlush(std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  text.clear();
}

}  // namespace

int main() {
  std::string_view rest(kTypicalTranscript);
  std::string text;
  for (int i = 0; i < 7; ++i) {  // each prompt ends in "= "
    const std::size_t end = rest.find("= ", rest.find("Enter")) + 2;
    text += rest.substr(0, end);
    writeAndFlush(text);
    rest.remove_prefix(end);
  }
  text += rest;
  writeAndFlush(text);
  return 0;
}
