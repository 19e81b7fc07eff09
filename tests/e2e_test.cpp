// The real program, run as a child with no controlling terminal and standard
// input a pipe: its whole standard output is compared byte for byte with the
// transcripts kept beside this file (NAME.in is typed, NAME.out is what the
// program must write).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/run.h"
#include "app/standard_io.h"
#include "tests/child_process.h"

namespace beam {
namespace {

using testing_support::OutputTo;

std::string transcriptPath(const std::string& name) {
  return std::string(BEAM_TRANSCRIPTS) + "/" + name;
}

std::string withPlatformLineEnds(const std::string& text) {
  if (!testing_support::expectCrLf()) return text;
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

struct Transcript {
  const char* name;
  OutputTo outputTo;
  const char* note = "";  // the line on standard error after "beam: "
};

constexpr const char* kTakenAs0 =
    " It and the answers after it are taken as 0, the unit words as empty.\n";

// transcript name (what it shows), where standard output goes, the note
const Transcript kTranscripts[] = {
    {"typical", OutputTo::kPipe},      // 6 2 0 0 kN/m kN m, one per line
    {"typical", OutputTo::kFile},      // the banner still comes first
    {"one_line", OutputTo::kPipe},     // all seven values on one line
    {"out_of_range", OutputTo::kPipe,  // 1e999 fails every later read
     "answer 1 (L, the length) is out of range: \"1e999\"."},
    {"letters_after_number", OutputTo::kPipe,  // 5kN reads 5, then kN fails
     "answer 2 (W, the load) is not a number: \"kN\"."},
    {"end_after_two", OutputTo::kPipe,  // end of input after two values
     "the input ended before answer 3 (Ax, the horizontal force at A). The answers from there "
     "on are taken as 0, the unit words as empty.\n"},
    {"zero_length", OutputTo::kPipe},       // L = 0: -1.#IND reactions
    {"huge_length", OutputTo::kPipe},       // L = 1e200: infinite moment, finite By
    {"split_unit", OutputTo::kPipe},        // "kN m" answers two prompts
    {"bx_only", OutputTo::kPipe},           // Ax = 0, Bx = 5
    {"ax_only", OutputTo::kPipe},           // Ax = 5, Bx = 0
    {"both_forces", OutputTo::kPipe},       // Ax = 5, Bx = -2
    {"negative_zero_ax", OutputTo::kPipe},  // Ax = -0 counts as zero
    {"byte_order_mark", OutputTo::kPipe},   // saved by Notepad: typical's report
};

// Names the case in test listings (instead of a dump of its bytes).
void PrintTo(const Transcript& c, std::ostream* out) { *out << c.name; }

class EndToEnd : public ::testing::TestWithParam<Transcript> {};

TEST_P(EndToEnd, OutputMatchesTranscript) {
  const Transcript& t = GetParam();
  const auto result = testing_support::runBeamOnText(
      testing_support::readFile(transcriptPath(std::string(t.name) + ".in")), t.outputTo);
  ASSERT_TRUE(WIFEXITED(result.status)) << "status " << result.status;
  EXPECT_EQ(WEXITSTATUS(result.status), 0);
  EXPECT_EQ(result.output, withPlatformLineEnds(testing_support::readFile(
                               transcriptPath(std::string(t.name) + ".out"))));
  // The note alone (a runner such as wine may write lines of its own).
  std::string note = *t.note == '\0' ? "" : std::string("beam: ") + t.note;
  if (!note.empty() && !note.ends_with('\n')) note += kTakenAs0;
  const std::size_t at = result.errors.find("beam: ");
  EXPECT_EQ(at == std::string::npos ? "" : result.errors.substr(at), withPlatformLineEnds(note));
}

INSTANTIATE_TEST_SUITE_P(Transcripts, EndToEnd, ::testing::ValuesIn(kTranscripts),
                         [](const ::testing::TestParamInfo<Transcript>& param) {
                           return std::string(param.param.name) +
                                  (param.param.outputTo == OutputTo::kFile ? "_to_file" : "");
                         });

// Each answer is sent only once its prompt is on the screen: the program
// must show every prompt before it reads (and the report then follows).
TEST(EndToEndConversation, EachPromptIsShownBeforeItsRead) {
  const char* answers[] = {"6\n", "2\n", "0\n", "0\n", "kN/m\n", "kN\n", "m\n"};
  std::vector<std::pair<std::string, std::string>> exchanges;
  for (std::size_t i = 0; i < kPrompts.size(); ++i) exchanges.emplace_back(kPrompts[i], answers[i]);
  const auto result = testing_support::runBeamAnswering(exchanges);
  ASSERT_TRUE(WIFEXITED(result.status)) << "status " << result.status << ", output:\n"
                                        << result.output;
  EXPECT_EQ(result.output,
            withPlatformLineEnds(testing_support::readFile(transcriptPath("typical.out"))));
}

// A write to a closed standard output fails with EBADF, to /dev/full with
// ENOSPC: the run ends there with one line on standard error and status 1.
// A stream that fails without saying why (errno left 0) is an I/O error.
TEST(EndToEndOutput, UnwritableOutputIsReportedWithStatusOne) {
#ifdef __GLIBC__  // fopencookie
  cookie_io_functions_t failsSilently = {};
  failsSilently.write = [](void*, const char*, size_t) -> ssize_t { return -1; };
  EXPECT_EXIT(
      {
        Output out(fopencookie(nullptr, "w", failsSilently));
        out.text = "x";
        out.flush();
      },
      ::testing::ExitedWithCode(1), "^beam: cannot write the output: Input/output error\n$");
#endif
  // output, the reason standard error gives
  const std::pair<OutputTo, const char*> outputs[] = {{OutputTo::kClosed, "Bad file descriptor"},
                                                      {OutputTo::kFull, "No space left on device"}};
  for (const auto& [to, reason] : outputs) {
    if (to == OutputTo::kFull && access("/dev/full", W_OK) != 0) {
      GTEST_SKIP() << "no /dev/full here (macOS); the closed output was tested";
    }
    const auto result = testing_support::runBeamOnText("6 2 0 0 kN/m kN m\n", to);
    ASSERT_TRUE(WIFEXITED(result.status)) << "status " << result.status;
    EXPECT_EQ(WEXITSTATUS(result.status), 1);
    EXPECT_EQ(result.errors,
              withPlatformLineEnds(std::string("beam: cannot write the output: ") + reason + "\n"));
  }
}

}  // namespace
}  // namespace beam
