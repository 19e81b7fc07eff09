// Running the real beam binary as a child process in the tests (POSIX).
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace beam::testing_support {

/// The command that runs the program: BEAM_COMMAND from the environment
/// (split at blanks, e.g. "wine build-win/beam.exe") or the built binary.
std::vector<std::string> beamCommand();

/// In a forked child: runs the command in its place (exit status 127 when
/// it cannot be started).
[[noreturn]] void execute(const std::vector<std::string>& command);

/// True when the expected output must have CR LF line ends (BEAM_CRLF=1).
bool expectCrLf();

struct ChildResult {
  std::string output;      ///< everything written to standard output
  std::string errors;      ///< everything written to standard error (runBeam, runBeamOnText)
  int status = -1;         ///< raw wait status
  long peakMemoryKiB = 0;  ///< peak resident set size, from wait4's rusage
};

/// Where the child's standard output goes: a pipe read by the test, a regular
/// file, nowhere (closed), or /dev/full (every write fails with ENOSPC).
enum class OutputTo { kPipe, kFile, kClosed, kFull };

/// Runs the program in a new session (so it has no controlling terminal),
/// with standard input read from inputPath ("" for a closed standard input),
/// and collects its output.
ChildResult runBeam(const std::string& inputPath, OutputTo outputTo = OutputTo::kPipe);

/// Runs the program with the given bytes on standard input, through a pipe.
ChildResult runBeamOnText(const std::string& input, OutputTo outputTo = OutputTo::kPipe);

/// Runs the program with standard input and output pipes and answers each
/// prompt only once the output so far ends with it, as a person does. A
/// prompt that is not shown within 20 s ends the run (status -1, the output
/// so far).
ChildResult runBeamAnswering(const std::vector<std::pair<std::string, std::string>>& exchanges);

/// The whole content of a file.
std::string readFile(const std::string& path);

/// A fresh temporary file path under the test's temporary directory.
std::string temporaryPath(const std::string& name);

}  // namespace beam::testing_support
