#include "tests/child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace beam::testing_support {
namespace {

void redirect(int from, int to) {
  if (from != to) {
    dup2(from, to);
    close(from);
  }
}

}  // namespace

std::vector<std::string> beamCommand() {
  std::vector<std::string> words;
  const char* command = std::getenv("BEAM_COMMAND");
  std::istringstream in(command != nullptr ? command : BEAM_BINARY);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool expectCrLf() {
  const char* crlf = std::getenv("BEAM_CRLF");
  return crlf != nullptr && std::string(crlf) == "1";
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string temporaryPath(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/beam_test_" + std::to_string(getpid()) +
         "_" + name;
}

ChildResult runBeam(const std::string& inputPath, OutputTo outputTo) {
  const std::vector<std::string> command = beamCommand();
  const std::string outputPath = temporaryPath("stdout");
  int pipeEnds[2] = {-1, -1};
  if (outputTo == OutputTo::kPipe && pipe(pipeEnds) != 0) return {};

  const pid_t child = fork();
  if (child == 0) {
    setsid();
    if (inputPath.empty()) {
      close(STDIN_FILENO);
    } else {
      redirect(open(inputPath.c_str(), O_RDONLY), STDIN_FILENO);
    }
    switch (outputTo) {
      case OutputTo::kPipe:
        close(pipeEnds[0]);
        redirect(pipeEnds[1], STDOUT_FILENO);
        break;
      case OutputTo::kFile:
        redirect(open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
        break;
      case OutputTo::kClosed:
        close(STDOUT_FILENO);
        break;
      case OutputTo::kFull:
        redirect(open("/dev/full", O_WRONLY), STDOUT_FILENO);
        break;
    }
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }

  ChildResult result;
  if (outputTo == OutputTo::kPipe) {
    close(pipeEnds[1]);
    char buffer[65536];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
      if (n < 0 && errno != EINTR) break;
      if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
  }
  struct rusage usage = {};
  wait4(child, &result.status, 0, &usage);
  result.peakMemoryKiB = usage.ru_maxrss;
  if (outputTo == OutputTo::kFile) {
    result.output = readFile(outputPath);
    unlink(outputPath.c_str());
  }
  return result;
}

ChildResult runBeamOnText(const std::string& input, OutputTo outputTo) {
  const std::string inputPath = temporaryPath("stdin");
  std::ofstream(inputPath, std::ios::binary) << input;
  ChildResult result = runBeam(inputPath, outputTo);
  unlink(inputPath.c_str());
  return result;
}

}  // namespace beam::testing_support
