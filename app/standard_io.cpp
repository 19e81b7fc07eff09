#include "app/standard_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace beam {
void Output::fail(int error) {
  // fputs, not fprintf: the page's module then carries no printf.
  std::fputs("beam: cannot write the output: ", stderr);
  std::fputs(std::strerror(error), stderr);
  std::fputs("\n", stderr);
  std::fflush(stderr);
  std::_Exit(1);  // not exit(): its flush of the same output would fail again
}

int Output::write() {
  if (file_ == nullptr) return 0;
  errno = 0;
  const bool written =
      (text.empty() || std::fwrite(text.data(), 1, text.size(), file_) == text.size()) &&
      std::fflush(file_) == 0;
  if (!written) return errno != 0 ? errno : EIO;
  text.clear();
  return 0;
}

void Output::flush() {
  if (const int error = write(); error != 0) fail(error);
}

}  // namespace beam
