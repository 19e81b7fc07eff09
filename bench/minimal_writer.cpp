// Writes the typical run's output through std::cout with the flushes beam
// makes: none in the introduction, one after each of the seven prompts (each
// ends in "= "), one after each report line. Nothing is computed or read.
#include <iostream>
#include <string_view>

#include "typical_transcript.h"

int main() {
  std::string_view text(kTypicalTranscript);
  const std::size_t prompts = text.find("Enter Value 1");
  std::cout << text.substr(0, prompts);
  text.remove_prefix(prompts);
  for (int i = 0; i < 7; ++i) {
    const std::size_t end = text.find("= ") + 2;
    std::cout << text.substr(0, end);
    std::cout.flush();
    text.remove_prefix(end);
  }
  while (!text.empty()) {
    const std::size_t end = text.find('\n') + 1;
    std::cout << text.substr(0, end);
    std::cout.flush();
    text.remove_prefix(end);
  }
  return 0;
}
