// The key wait on a real pseudo-terminal: the program's controlling terminal
// is the pty, its standard input a pipe, as when input is redirected.
#include <fcntl.h>
#if __has_include(<pty.h>)  // Linux
#include <pty.h>
#elif __has_include(<util.h>)  // macOS
#include <util.h>
#else  // FreeBSD
#include <libutil.h>
#endif
#include <signal.h>
#include <sys/select.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/child_process.h"

namespace beam {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(20);
constexpr const char* kClosingLine = "Press Any Key To Continue\n";

bool sameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// True when fd has something to read within the given time. select(), not
// poll(): macOS's poll() does not support terminal devices.
bool readable(int fd, int milliseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd, &set);
  timeval timeout = {0, milliseconds * 1000};
  return select(fd + 1, &set, nullptr, nullptr, &timeout) > 0;
}

// Runs the program with the pty as its controlling terminal. Alone, the
// program leads its own session. Under a shell, a small parent process leads
// the session and runs the program as its foreground job, as a shell with
// job control does, so that the job can be stopped (a session leader's own
// process group is orphaned, and the system discards stop signals to it).
enum class Layout { kAlone, kUnderShell };

class PtyRun {
 public:
  explicit PtyRun(Layout layout = Layout::kAlone) {
    EXPECT_EQ(openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0);
    tcgetattr(slave_, &before_);
    int input[2];
    int output[2];
    EXPECT_EQ(pipe(input), 0);
    EXPECT_EQ(pipe(output), 0);
    const std::vector<std::string> command = testing_support::beamCommand();
    pid_ = fork();
    if (pid_ == 0) {
      setsid();
      ioctl(slave_, TIOCSCTTY, 0);
      if (layout == Layout::kUnderShell) runAsForegroundJob(slave_);
      dup2(input[0], STDIN_FILENO);
      dup2(output[1], STDOUT_FILENO);
      for (int fd : {input[0], input[1], output[0], output[1], master_, slave_}) close(fd);
      std::vector<char*> argv;
      for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
      argv.push_back(nullptr);
      execvp(argv[0], argv.data());
      _exit(127);
    }
    close(input[0]);
    close(output[1]);
    const std::string typed = "6\n2\n0\n0\nkN/m\nkN\nm\n";
    EXPECT_EQ(write(input[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    close(input[1]);
    output_ = output[0];
  }

  ~PtyRun() {
    if (pid_ > 0 && !exited_) {
      const pid_t job = tcgetpgrp(master_);
      if (job > 0 && job != pid_) kill(-job, SIGKILL);
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {master_, slave_, output_}) close(fd);
  }

  // Reads the program's output until the closing line, then waits until the
  // terminal is switched to raw input (the program is then reading keys).
  bool waitUntilReadingKeys() {
    std::string seen;
    const auto deadline = Clock::now() + kPatience;
    while (seen.find(kClosingLine) == std::string::npos && Clock::now() < deadline) {
      if (!readable(output_, 100)) continue;
      char buffer[4096];
      const ssize_t n = read(output_, buffer, sizeof buffer);
      if (n <= 0) return false;
      seen.append(buffer, static_cast<std::size_t>(n));
    }
    return waitForRaw(true);
  }

  // Waits (bounded) until the terminal's input is raw, or cooked.
  bool waitForRaw(bool raw) {
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
      termios now;
      tcgetattr(slave_, &now);
      if (((now.c_lflag & ICANON) == 0) == raw) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }

  bool stillRunning() { return waitpid(pid_, &status_, WNOHANG) == 0; }

  void press(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Sends a signal to the program (its process group: under a shell, the
  // terminal's foreground job).
  void signal(int number) {
    const pid_t job = tcgetpgrp(master_);
    kill(job > 0 && job != pid_ ? -job : pid_, number);
  }

  // Waits (bounded) for the program to end; returns its wait status.
  int waitForExit() {
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
      if (waitpid(pid_, &status_, WNOHANG) == pid_) {
        exited_ = true;
        return status_;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
  }

  bool settingsRestored() {
    termios after;
    tcgetattr(slave_, &after);
    return sameSettings(before_, after);
  }

  // What a later reader of the terminal would get, and what the terminal
  // showed (echo) on its screen side.
  std::string leftForLaterReader() { return drain(slave_, true); }
  std::string echoed() { return drain(master_, false); }

 private:
  std::string drain(int fd, bool raw) {
    termios saved;
    tcgetattr(slave_, &saved);
    if (raw) {
      termios now = saved;
      cfmakeraw(&now);
      now.c_cc[VMIN] = 0;
      now.c_cc[VTIME] = 0;
      tcsetattr(slave_, TCSANOW, &now);
    }
    std::string text;
    char buffer[256];
    while (readable(fd, 50)) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    if (raw) tcsetattr(slave_, TCSANOW, &saved);
    return text;
  }

  // Called in the session leader; returns in a forked job, a process group of
  // its own in the foreground. The leader waits for the job and exits with its
  // status (126 when it did not exit normally).
  static void runAsForegroundJob(int terminal) {
    std::signal(SIGTTOU, SIG_IGN);  // a session leader may hand over the terminal
    const pid_t job = fork();
    setpgid(job == 0 ? 0 : job, job == 0 ? 0 : job);
    tcsetpgrp(terminal, job == 0 ? getpid() : job);
    if (job == 0) {
      std::signal(SIGTTOU, SIG_DFL);
      return;
    }
    int status = 0;
    while (waitpid(job, &status, 0) < 0 && errno == EINTR) {
    }
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 126);
  }

  int master_ = -1;
  int slave_ = -1;
  int output_ = -1;
  pid_t pid_ = -1;
  int status_ = 0;
  bool exited_ = false;
  termios before_ = {};
};

struct KeyCase {
  const char* name;
  std::string typed;
  std::string left;  // what a later reader finds afterwards
};

// key, bytes typed on the terminal, bytes that must remain for a later reader
const KeyCase kKeys[] = {
    {"up_arrow", "\x1b[A", ""},
    {"F5", "\x1b[15~", ""},
    {"alt_x", "\x1bx", ""},
    {"esc", "\x1b", ""},
    {"ctrl_c", "\x03", ""},
    {"ctrl_z", "\x1a", ""},
    {"e_acute", "\xC3\xA9", ""},
    {"letter_then_more", "ab", "b"},
};

// Names the case in test listings (instead of a dump of its bytes).
void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }

class KeyWait : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyWait, OnePressEndsTheRunAndRestoresTheTerminal) {
  PtyRun run;
  ASSERT_TRUE(run.waitUntilReadingKeys());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(run.stillRunning());
  run.press(GetParam().typed);
  const int status = run.waitForExit();
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(run.settingsRestored());
  EXPECT_EQ(run.echoed(), "");
  EXPECT_EQ(run.leftForLaterReader(), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyWait, ::testing::ValuesIn(kKeys),
                         [](const ::testing::TestParamInfo<KeyCase>& param) {
                           return std::string(param.param.name);
                         });

// signal sent while the program waits for its key
const int kSignals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGINT};

class KeyWaitSignal : public ::testing::TestWithParam<int> {};

TEST_P(KeyWaitSignal, RestoresTheTerminalThenDiesByTheSignal) {
  PtyRun run;
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.signal(GetParam());
  const int status = run.waitForExit();
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), GetParam());
  EXPECT_TRUE(run.settingsRestored());
}

INSTANTIATE_TEST_SUITE_P(Signals, KeyWaitSignal, ::testing::ValuesIn(kSignals),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return std::string(strsignal(param.param)).substr(0, 4) +
                                  std::to_string(param.param);
                         });

// Ctrl+Z (SIGTSTP) during the wait, then fg (SIGCONT): stopped with the
// terminal as it was before, raw again once continued, and one key ends it.
TEST(KeyWaitJobControl, StopsWithTheTerminalRestoredAndResumesRaw) {
  PtyRun run(Layout::kUnderShell);
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.signal(SIGTSTP);
  ASSERT_TRUE(run.waitForRaw(false));
  // Still cooked a while later: the program stopped rather than going on.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(run.settingsRestored());
  run.signal(SIGCONT);
  ASSERT_TRUE(run.waitForRaw(true));
  run.press("q");
  const int status = run.waitForExit();
  ASSERT_TRUE(WIFEXITED(status)) << "status " << status;
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(run.settingsRestored());
  EXPECT_EQ(run.echoed(), "");
  EXPECT_EQ(run.leftForLaterReader(), "");
}

}  // namespace
}  // namespace beam
