#include "tests/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace beam::testing_support {
namespace {

// In the child: puts from in place of to. An open that failed (from < 0)
// ends the child with status 126 and a message, so no test passes on a run
// that never had the intended input or output.
void redirect(int from, int to) {
  if (from < 0) {
    const char message[] = "beam test child: cannot open a redirect\n";
    [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, message, sizeof message - 1);
    _exit(126);
  }
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

void execute(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
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

namespace {

// Runs the program with standard input from a file (inputPath), closed
// (inputPath empty, no text), or a pipe fed with *text by a thread.
ChildResult run(const std::string& inputPath, const std::string* text, OutputTo outputTo) {
  const std::vector<std::string> command = beamCommand();
  const std::string outputPath = temporaryPath("stdout");
  const std::string errorsPath = temporaryPath("stderr");
  int pipeEnds[2] = {-1, -1};
  if (outputTo == OutputTo::kPipe && pipe(pipeEnds) != 0) return {};
  int inputEnds[2] = {-1, -1};
  if (text != nullptr && pipe(inputEnds) != 0) return {};

  // A feeder writing after the program stopped reading must not kill the
  // test; the program itself gets the default action back.
  std::signal(SIGPIPE, SIG_IGN);
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    setsid();
    if (text != nullptr) {
      close(inputEnds[1]);
      redirect(inputEnds[0], STDIN_FILENO);
    } else if (inputPath.empty()) {
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
    redirect(open(errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    execute(command);
  }

  std::thread feeder;
  if (text != nullptr) {
    close(inputEnds[0]);
    feeder = std::thread([fd = inputEnds[1], text] {
      // The program may stop reading early; a broken pipe is then expected.
      std::size_t written = 0;
      while (written < text->size()) {
        const ssize_t n = write(fd, text->data() + written, text->size() - written);
        if (n <= 0) break;
        written += static_cast<std::size_t>(n);
      }
      close(fd);
    });
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
#ifdef __APPLE__
  result.peakMemoryKiB = usage.ru_maxrss / 1024;  // bytes there, KiB elsewhere
#else
  result.peakMemoryKiB = usage.ru_maxrss;
#endif
  if (feeder.joinable()) feeder.join();
  if (outputTo == OutputTo::kFile) {
    result.output = readFile(outputPath);
    unlink(outputPath.c_str());
  }
  result.errors = readFile(errorsPath);
  unlink(errorsPath.c_str());
  return result;
}

}  // namespace

ChildResult runBeamAnswering(const std::vector<std::pair<std::string, std::string>>& exchanges) {
  const std::vector<std::string> command = beamCommand();
  int input[2];
  int output[2];
  if (pipe(input) != 0 || pipe(output) != 0) return {};
  std::signal(SIGPIPE, SIG_IGN);
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGPIPE, SIG_DFL);
    setsid();
    close(input[1]);
    close(output[0]);
    redirect(input[0], STDIN_FILENO);
    redirect(output[1], STDOUT_FILENO);
    execute(command);
  }
  close(input[0]);
  close(output[1]);
  ChildResult result;
  // Reads what is there within the time left; false at the end of output.
  const auto readSome = [&](int milliseconds) {
    pollfd ready = {output[0], POLLIN, 0};
    if (poll(&ready, 1, milliseconds) <= 0) return true;
    char buffer[4096];
    const ssize_t n = read(output[0], buffer, sizeof buffer);
    if (n > 0) result.output.append(buffer, static_cast<std::size_t>(n));
    return n > 0 || (n < 0 && errno == EINTR);
  };
  bool answered = true;
  for (const auto& [prompt, answer] : exchanges) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!result.output.ends_with(prompt) && std::chrono::steady_clock::now() < deadline) {
      if (!readSome(100)) break;
    }
    if (!result.output.ends_with(prompt)) {
      answered = false;
      break;
    }
    if (write(input[1], answer.data(), answer.size()) != static_cast<ssize_t>(answer.size())) break;
  }
  close(input[1]);
  if (!answered) kill(child, SIGKILL);
  while (readSome(20000)) {
  }
  close(output[0]);
  waitpid(child, &result.status, 0);
  if (!answered) result.status = -1;
  return result;
}

ChildResult runBeam(const std::string& inputPath, OutputTo outputTo) {
  return run(inputPath, nullptr, outputTo);
}

ChildResult runBeamOnText(const std::string& input, OutputTo outputTo) {
  return run("", &input, outputTo);
}

}  // namespace beam::testing_support
