// Hostile input for the real program: huge numbers, words and runs of white
// space, random bytes, and no input at all. Each run must end by itself with
// status 0 in little memory. (Output that cannot be written: e2e_test.cpp.)
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <ostream>
#include <random>
#include <string>

#include "tests/child_process.h"

namespace beam {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr long kPeakLimitKiB = 16 * 1024;
constexpr const char* kClosingLine = "Press Any Key To Continue\n";

// Writes prefix, then `size` bytes made by `fill` in 1 MiB pieces, then suffix.
std::string makeInput(const std::string& name, const std::string& prefix, std::size_t size,
                      const std::function<void(std::string&)>& fill, const std::string& suffix) {
  const std::string path = testing_support::temporaryPath(name);
  std::ofstream out(path, std::ios::binary);
  out << prefix;
  std::string piece(kMiB, ' ');
  for (std::size_t written = 0; written < size; written += piece.size()) {
    fill(piece);
    out.write(piece.data(), static_cast<std::streamsize>(std::min(piece.size(), size - written)));
  }
  out << suffix;
  return path;
}

void repeat(char c, std::string& piece) { piece.assign(kMiB, c); }

struct Hostile {
  const char* name;
  std::function<std::string()> input;  // path of standard input; "" closes it
};

std::mt19937 randomBytes(1234);

// name, how its standard input is made
const Hostile kHostile[] = {
    {"number_of_200MB_digits",
     [] {
       return makeInput(
           "digits", "", 200 * kMiB, [](std::string& p) { repeat('7', p); }, "\n2 0 0 a b c\n");
     }},
    {"fraction_of_200MB_zeros",
     [] {
       return makeInput(
           "zeros", "0.", 200 * kMiB, [](std::string& p) { repeat('0', p); },
           "1e200000000 2 0 0 a b c\n");
     }},
    {"unit_word_of_200MB",
     [] {
       return makeInput(
           "word", "6 2 0 0 ", 200 * kMiB, [](std::string& p) { repeat('w', p); }, " kN m\n");
     }},
    {"white_space_of_200MB",
     [] {
       return makeInput(
           "blanks", "", 200 * kMiB,
           [](std::string& p) {
             const char blanks[] = " \t\n\v\f\r";
             for (std::size_t i = 0; i < p.size(); ++i) p[i] = blanks[i % 6];
           },
           "6 2 0 0 kN/m kN m\n");
     }},
    {"random_bytes_10MB",
     [] {
       return makeInput(
           "random", "", 10 * kMiB,
           [](std::string& p) {
             for (char& c : p) c = static_cast<char>(randomBytes() & 0xFF);
           },
           "");
     }},
    {"standard_input_closed", [] { return std::string(); }},
    {"dev_null", [] { return std::string("/dev/null"); }},
};

// Names the case in test listings (instead of a dump of its bytes).
void PrintTo(const Hostile& c, std::ostream* out) { *out << c.name; }

class Stress : public ::testing::TestWithParam<Hostile> {};

TEST_P(Stress, ReachesTheClosingLineInBoundedMemory) {
  const std::string input = GetParam().input();
  const auto result = testing_support::runBeam(input);
  if (input.rfind(testing_support::temporaryPath(""), 0) == 0) unlink(input.c_str());
  ASSERT_TRUE(WIFEXITED(result.status)) << "status " << result.status;
  EXPECT_EQ(WEXITSTATUS(result.status), 0);
  const std::string closing(kClosingLine);
  ASSERT_GE(result.output.size(), closing.size());
  EXPECT_EQ(result.output.substr(result.output.size() - closing.size()), closing);
  EXPECT_LT(result.peakMemoryKiB, kPeakLimitKiB);
}

INSTANTIATE_TEST_SUITE_P(Hostile, Stress, ::testing::ValuesIn(kHostile),
                         [](const ::testing::TestParamInfo<Hostile>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace beam
