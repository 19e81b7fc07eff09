// The key wait on a real pseudo-terminal, driven as a shell drives it: the
// program's controlling terminal is the pty, its standard input a pipe (as
// when input is redirected), its standard output the terminal unless a test
// sends it elsewhere.
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#if __has_include(<pty.h>)  // Linux
#include <pty.h>
#elif __has_include(<util.h>)  // macOS
#include <util.h>
#else  // FreeBSD
#include <libutil.h>
#endif
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#ifdef __linux__
#include <sys/prctl.h>
#include <sys/syscall.h>
#endif
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "app/key_wait.h"
#include "app/posix/key_wait_timing.h"
#include "tests/child_process.h"

namespace beam {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(20);

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

// Waits (bounded) until the terminal's input is raw, or cooked.
bool waitForRawOn(int terminal, bool raw) {
  const auto deadline = Clock::now() + kPatience;
  while (Clock::now() < deadline) {
    termios now;
    tcgetattr(terminal, &now);
    if (((now.c_lflag & ICANON) == 0) == raw) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

// Where the program runs. Alone, it leads its own session. As a job, a small
// session leader stands in for a shell with job control and runs the program
// as a job of its own process group, in the foreground (the terminal's) or
// in the background. (A session leader's own process group is orphaned, and
// the system discards stop signals to it.) The stand-in shell acts on
// SIGUSR1 as `fg`, on SIGWINCH as `bg`, on SIGUSR2 as `kill %1`, and on
// SIGURG as `fg` followed at once by a stop from elsewhere; it takes the
// terminal back when its job stops, as a shell does, and counts the stops.
// On SIGALRM it takes the terminal back while its job runs, as the shell
// does when a script that started the job in the background ends. When its
// job ends normally it reads the terminal's settings at once, as bash saves
// them then. In the last layouts the foreground job is a program that starts
// beam and ends, normally, on SIGTERM, or ends only its thread that did.
enum class Layout { kAlone, kForegroundJob, kBackgroundJob, kStartedByAJob, kStartedByAThread };
// Where the program's standard output goes; its standard input is a pipe.
enum class OutputTo { kTerminal, kPipe, kFile, kOtherTerminal };

struct PtyOptions {
  Layout layout = Layout::kAlone;
  OutputTo output = OutputTo::kTerminal;
  bool highDescriptor = false;   // descriptors below FD_SETSIZE all taken
  bool ignoreHangup = false;     // started with SIGHUP ignored (nohup, trap '' HUP)
  std::string typedEarly = {};   // typed on the terminal before the answers arrive
  bool ignoreInterrupt = false;  // SIGINT and SIGQUIT ignored (a script's & job)
  const char* term = "xterm";    // TERM, or nullptr for none
  bool closedInput = false;      // standard input closed rather than a pipe
  bool lockedFlow = false;       // IXON locked on the terminal (Linux, as root)
  bool alarmBlocked = false;     // started with SIGALRM blocked (an inherited mask)
  bool alarmIgnored = false;     // started with SIGALRM ignored (trap '' ALRM)
  int alarmMs = 0;               // an alarm set before exec, this long after the start
  const char* lang = nullptr;    // LANG, or nullptr to leave the locale as it is
  int parentEndSignal = 0;       // asked for before exec (Linux), as a supervisor may
  bool typesAnswers = false;     // answers typed at the terminal (answer()), not piped
  bool nonBlocking = false;      // the terminal left O_NONBLOCK by an earlier program
  bool noReadMinimum = false;    // left `stty -icanon min 0 time 0` by an earlier program
  bool utf8Input = false;        // the terminal takes UTF-8 input (IUTF8), whatever LANG says
};

// What the program sends the terminal around its wait when TERM names one.
const std::string kPasteOn = "\x1b[?2004h";
const std::string kPasteOff = "\x1b[?2004l";

bool asksForPasteMode(const char* term) {
  return term != nullptr && std::string(term) != "dumb" && std::string(term) != "linux";
}

// Open files the high-descriptor run needs.
constexpr rlim_t kDescriptorsNeeded = FD_SETSIZE + 16;

// A stand-in shell's exit status when its job was stopped in the background.
constexpr int kJobStopped = 125;

// What the stand-in shell shares with the test.
struct ShellRecord {
  int stops;
  termios settingsAtJobEnd;  // read the moment its job ended normally
};

class PtyRun {
 public:
  explicit PtyRun(PtyOptions options = {}) : options_(options) {
    winsize size = {24, 80, 0, 0};  // a window of 80 columns, as the line editor finds
    EXPECT_EQ(openpty(&master_, &slave_, nullptr, nullptr, &size), 0);
    if (options.output == OutputTo::kOtherTerminal) {
      EXPECT_EQ(openpty(&otherMaster_, &otherSlave_, nullptr, nullptr, nullptr), 0);
    }
    tcgetattr(slave_, &before_);
    if (options.noReadMinimum) {
      before_.c_lflag &= ~static_cast<tcflag_t>(ICANON);
      before_.c_cc[VMIN] = before_.c_cc[VTIME] = 0;
    }
#ifdef IUTF8
    if (options.utf8Input) before_.c_iflag |= IUTF8;
#endif
    tcsetattr(slave_, TCSANOW, &before_);
#ifdef TIOCSLCKTRMIOS
    if (options.lockedFlow) {
      termios lock = {};
      lock.c_iflag = IXON;
      flowLocked_ = (before_.c_iflag & IXON) != 0 && ioctl(slave_, TIOCSLCKTRMIOS, &lock) == 0;
    }
#endif
    int input[2];
    int output[2];
    EXPECT_EQ(pipe(input), 0);
    EXPECT_EQ(pipe(output), 0);
    const std::vector<std::string> command = testing_support::beamCommand();
    const std::string outputPath = testing_support::temporaryPath("pty_stdout");
    shell_ = static_cast<ShellRecord*>(mmap(nullptr, sizeof(ShellRecord), PROT_READ | PROT_WRITE,
                                            MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    pid_ = fork();
    if (pid_ == 0) {
      setsid();
      ioctl(slave_, TIOCSCTTY, 0);
      if (options.layout != Layout::kAlone) {
        runAsJob(slave_, options.layout, shell_);
      }
      dup2(options.typesAnswers ? slave_ : input[0], STDIN_FILENO);
      if (options.typesAnswers) dup2(slave_, STDERR_FILENO);
      if (options.nonBlocking) fcntl(slave_, F_SETFL, fcntl(slave_, F_GETFL) | O_NONBLOCK);
      if (options.closedInput) close(STDIN_FILENO);
      if (options.output == OutputTo::kTerminal) dup2(slave_, STDOUT_FILENO);
      if (options.output == OutputTo::kPipe) dup2(output[1], STDOUT_FILENO);
      if (options.output == OutputTo::kFile) {
        dup2(open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
      }
      if (options.output == OutputTo::kOtherTerminal) dup2(otherSlave_, STDOUT_FILENO);
      if (options.ignoreHangup) std::signal(SIGHUP, SIG_IGN);
      if (options.alarmIgnored) std::signal(SIGALRM, SIG_IGN);
      if (options.alarmMs > 0) {
        itimerval alarm = {};
        alarm.it_value.tv_sec = options.alarmMs / 1000;
        alarm.it_value.tv_usec = options.alarmMs % 1000 * 1000;
        setitimer(ITIMER_REAL, &alarm, nullptr);
      }
      if (options.alarmBlocked) {
        sigset_t alarm;
        sigemptyset(&alarm);
        sigaddset(&alarm, SIGALRM);
        sigprocmask(SIG_BLOCK, &alarm, nullptr);
      }
      // As a shell with job control starts a job, whatever the tests inherited.
      std::signal(SIGINT, options.ignoreInterrupt ? SIG_IGN : SIG_DFL);
      std::signal(SIGQUIT, options.ignoreInterrupt ? SIG_IGN : SIG_DFL);
      if (options.lang != nullptr) {
        unsetenv("LC_ALL");
        unsetenv("LC_CTYPE");
        setenv("LANG", options.lang, 1);
      }
#ifdef __linux__
      if (options.parentEndSignal != 0) prctl(PR_SET_PDEATHSIG, options.parentEndSignal);
#endif
      if (options.term != nullptr) {
        setenv("TERM", options.term, 1);
      } else {
        unsetenv("TERM");
      }
      for (int fd = STDERR_FILENO + 1; fd < 64; ++fd) close(fd);
      if (options.highDescriptor) takeLowDescriptors();
      testing_support::execute(command);
    }
    close(input[0]);
    close(output[1]);
    if (!options.typedEarly.empty()) {
      press(options.typedEarly);
      // The system hands typed bytes to the terminal's input a moment later
      // (on a busy machine, later than the program's start): they must be
      // there before the program can reach its wait.
      const auto deadline = Clock::now() + kPatience;
      int held = 0;
      while ((ioctl(slave_, FIONREAD, &held) != 0 ||
              held < static_cast<int>(options.typedEarly.size())) &&
             Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    const std::string typed =
        options.closedInput || options.typesAnswers ? "" : "6\n2\n0\n0\nkN/m\nkN\nm\n";
    EXPECT_EQ(write(input[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    close(input[1]);
    output_ = output[0];
    unlink(outputPath.c_str());
  }

  ~PtyRun() {
    if (pid_ > 0 && !exited_) {
      const pid_t job = tcgetpgrp(master_);
      if (job > 0 && job != pid_) kill(-job, SIGKILL);
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {master_, slave_, output_, otherMaster_, otherSlave_}) {
      if (fd >= 0) close(fd);
    }
    munmap(shell_, sizeof(ShellRecord));
  }

  // Reads the program's output until the closing line (and the request for
  // bracketed paste), then waits until the terminal is switched to raw input
  // (the program is then reading keys).
  bool waitUntilReadingKeys() {
    std::string closing = options_.output == OutputTo::kTerminal
                              ? "Press Any Key To Continue\r\n"  // ONLCR
                              : "Press Any Key To Continue\n";
    if (asksForPasteMode(options_.term)) closing += kPasteOn;
    return waitToSee(closing) && waitForRaw(true);
  }

  // Reads the screen (the program's output) until `text` has appeared.
  bool waitToSee(const std::string& text) {
    const int screen = options_.output == OutputTo::kTerminal ? master_ : output_;
    const auto deadline = Clock::now() + kPatience;
    while (screen_.find(text) == std::string::npos && Clock::now() < deadline) {
      if (!readable(screen, 100)) continue;
      char buffer[4096];
      const ssize_t n = read(screen, buffer, sizeof buffer);
      if (n <= 0) return false;
      screen_.append(buffer, static_cast<std::size_t>(n));
    }
    return screen_.find(text) != std::string::npos;
  }
  const std::string& screen() const { return screen_; }

  // Types the answers at the terminal once the first question is asked.
  bool answer(const std::string& answers) {
    if (!waitToSee("Figure(Shape) Above = ")) return false;
    press(answers);
    return true;
  }

  // Waits (bounded) until the program has read every byte typed so far.
  void waitUntilTypingIsRead() {
    const auto deadline = Clock::now() + kPatience;
    int held = 1;
    while (ioctl(slave_, FIONREAD, &held) == 0 && held > 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  bool waitForRaw(bool raw) { return waitForRawOn(slave_, raw); }

  // Whether the terminal keeps IXON on whatever it is given (lockedFlow).
  bool flowLocked() const { return flowLocked_; }

  bool stillRunning() { return waitpid(pid_, &status_, WNOHANG) == 0; }

  // Types bytes on the terminal as a paste arrives, in pieces of at most 1 KiB
  // a few milliseconds apart; what the terminal cannot take within the
  // patience is a failure. Returns whether the bytes came as one burst: no
  // pause of half the wait's quiet time between two pieces (on a loaded
  // machine this typist, or the program, may not run for longer).
  bool press(const std::string& bytes) {
    const int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    std::size_t sent = 0;
    const auto deadline = Clock::now() + kPatience;
    auto lastPiece = Clock::now();
    auto longestPause = Clock::duration::zero();
    while (sent < bytes.size() && Clock::now() < deadline) {
      const ssize_t n =
          write(master_, bytes.data() + sent, std::min<std::size_t>(1024, bytes.size() - sent));
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
        longestPause = std::max(longestPause, Clock::now() - lastPiece);
        lastPiece = Clock::now();
      }
      if (sent < bytes.size()) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    fcntl(master_, F_SETFL, flags);
    EXPECT_EQ(sent, bytes.size());
    return longestPause < std::chrono::milliseconds(kQuietMs / 2);
  }

  // The read calls the program has made so far (Linux's /proc/PID/io), or
  // -1 where they cannot be counted.
  long readCalls() const {
    std::FILE* io = std::fopen(("/proc/" + std::to_string(pid_) + "/io").c_str(), "r");
    long counts[3] = {-1, -1, -1};  // rchar, wchar, syscr
    if (io != nullptr && std::fscanf(io, "rchar: %ld wchar: %ld syscr: %ld", &counts[0], &counts[1],
                                     &counts[2]) != 3) {
      counts[2] = -1;
    }
    if (io != nullptr) std::fclose(io);
    return counts[2];
  }

  // Whether a read of the terminal now waits for input, as a shell's does
  // after the program is gone: a byte typed 300 ms later is what it returns.
  bool aReadWaitsForInput() {
    std::thread typist([this] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      [[maybe_unused]] const ssize_t n = write(master_, "z\r", 2);  // a line, if cooked
    });
    const auto start = Clock::now();
    char byte = 0;
    const ssize_t n = read(slave_, &byte, 1);
    const auto waited = Clock::now() - start;
    typist.join();
    return n == 1 && byte == 'z' && waited >= std::chrono::milliseconds(250);
  }

  // Sends a signal to the program (its process group: as a job, the
  // terminal's foreground job).
  void signal(int number) {
    const pid_t job = tcgetpgrp(master_);
    kill(job > 0 && job != pid_ ? -job : pid_, number);
  }

  // The stand-in shell's commands.
  void foreground() { kill(pid_, SIGUSR1); }
  void background() { kill(pid_, SIGWINCH); }
  // Ends the program that started beam (Layout::kStartedByAJob), normally.
  void endTheStartingProgram() { kill(tcgetpgrp(master_), SIGTERM); }
  void killJob() { kill(pid_, SIGUSR2); }
  void foregroundThenStop() { kill(pid_, SIGURG); }
  void takeTerminalBack() { kill(pid_, SIGALRM); }

  // The window gets this many columns (the foreground job gets SIGWINCH).
  void resize(unsigned short columns) {
    winsize size = {24, columns, 0, 0};
    ioctl(master_, TIOCSWINSZ, &size);
  }

  // Closes the terminal's screen side, as when its window is closed.
  void closeWindow() {
    close(master_);
    master_ = -1;
  }

  // Waits (bounded) until the job has stopped this many times in all and
  // the stand-in shell has taken the terminal back.
  bool waitForStops(int count) {
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
      if (__atomic_load_n(&shell_->stops, __ATOMIC_SEQ_CST) >= count) return true;
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return false;
  }

  // Waits (bounded) for the program to end; returns its wait status (as a
  // job: the stand-in shell's, which exits with the job's status, 128 plus
  // the signal that ended it, or kJobStopped).
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

  // The exit code once the program has ended, or -1 (a failure) when it did
  // not exit normally in time.
  int exitCode() {
    const int status = waitForExit();
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    ADD_FAILURE() << "wait status " << status;
    return -1;
  }

  // Puts the terminal's settings as they were before the run, as a shell
  // does when its job stops.
  void shellRestoresSettings() { tcsetattr(slave_, TCSANOW, &before_); }

  bool settingsRestored() { return sameSettings(before_, settings()); }
  // What the stand-in shell would keep as its own settings from now on.
  bool shellSavedTheSettingsBefore() { return sameSettings(before_, shell_->settingsAtJobEnd); }

  termios settings() {
    termios now;
    tcgetattr(slave_, &now);
    return now;
  }

  // Another program on the terminal sets its own settings.
  void otherProgramSets(const termios& settings) { tcsetattr(slave_, TCSANOW, &settings); }

  // What a later reader of the terminal would get, and what the terminal
  // showed on its screen side after the closing line (echo).
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
  // its own. The leader waits for the job as a shell does and exits with its
  // status.
  static void runAsJob(int terminal, Layout layout, ShellRecord* shell) {
    const bool inForeground = layout != Layout::kBackgroundJob;
    std::signal(SIGTTOU, SIG_IGN);  // the shell may hand over the terminal
    shellTerminal = terminal;
    std::signal(SIGALRM, [](int) { tcsetpgrp(shellTerminal, getpgrp()); });
    sigset_t commands;
    sigemptyset(&commands);
    sigaddset(&commands, SIGUSR1);
    sigaddset(&commands, SIGUSR2);
    sigaddset(&commands, SIGURG);
    sigaddset(&commands, SIGWINCH);
    sigprocmask(SIG_BLOCK, &commands, nullptr);
    const pid_t job = fork();
    setpgid(job == 0 ? 0 : job, job == 0 ? 0 : job);
    if (inForeground) tcsetpgrp(terminal, job == 0 ? getpid() : job);
    if (job == 0) {
      std::signal(SIGTTOU, SIG_DFL);
      std::signal(SIGALRM, SIG_DFL);
      sigprocmask(SIG_UNBLOCK, &commands, nullptr);
      if (layout == Layout::kStartedByAJob) startBeamAndEndOnSigterm();
      if (layout == Layout::kStartedByAThread) startBeamAndEndItsThreadOnSigterm();
      return;
    }
    for (;;) {
      int status = 0;
      if (waitpid(job, &status, WUNTRACED) < 0) {
        if (errno == EINTR) continue;
        _exit(126);
      }
      if (WIFEXITED(status)) {
        // A shell updates its job table first. 10 ms leaves room for a busy
        // machine, and catches any restore but an at-once one (the wait's
        // next check of the terminal comes 200 ms later).
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        tcgetattr(terminal, &shell->settingsAtJobEnd);
        _exit(WEXITSTATUS(status));
      }
      if (WIFSIGNALED(status)) _exit(128 + WTERMSIG(status));
      if (!inForeground) {  // a background job must never stop
        kill(-job, SIGKILL);
        _exit(kJobStopped);
      }
      tcsetpgrp(terminal, getpgrp());  // stopped: the shell takes the terminal
      __atomic_add_fetch(&shell->stops, 1, __ATOMIC_SEQ_CST);
      int command = 0;
      sigwait(&commands, &command);
      if (command == SIGUSR2) {
        kill(-job, SIGTERM);
      } else if (command != SIGWINCH) {
        tcsetpgrp(terminal, job);
      }
      kill(-job, SIGCONT);
      if (command == SIGURG) kill(-job, SIGTSTP);
    }
  }

  // Called in the job; returns in its child, which goes on to start beam
  // (exec gives it SIGTERM's default back). The job itself exits with status
  // 0 on SIGTERM.
  static void startBeamAndEndOnSigterm() {
    if (fork() == 0) return;
    std::signal(SIGTERM, [](int) { _exit(0); });
    for (;;) pause();
  }

  // As above, but SIGTERM ends only this thread, which started beam (Linux);
  // another keeps the job. (pthread_exit would unwind through the test.)
  static void startBeamAndEndItsThreadOnSigterm() {
    sigset_t term;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    if (fork() == 0 || pthread_sigmask(SIG_BLOCK, &term, nullptr) != 0) return;
    std::thread(pause).detach();  // no handler: it never returns
#ifdef __linux__
    int signal = 0;
    sigwait(&term, &signal);
    syscall(SYS_exit, 0);
#endif
  }

  // Leaves the program's next descriptor at FD_SETSIZE or above, as a parent
  // with a thousand open files does.
  static void takeLowDescriptors() {
    rlimit limit;
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = kDescriptorsNeeded;
    setrlimit(RLIMIT_NOFILE, &limit);
    const int null = open("/dev/null", O_RDONLY);
    for (int fd = STDERR_FILENO + 1; fd < FD_SETSIZE; ++fd) {
      if (fd != null) dup2(null, fd);
    }
  }

  static inline int shellTerminal = -1;  // for the stand-in shell's SIGALRM

  PtyOptions options_;
  int otherMaster_ = -1;  // the other terminal standard output may go to
  int otherSlave_ = -1;
  int master_ = -1;
  int slave_ = -1;
  int output_ = -1;
  pid_t pid_ = -1;
  ShellRecord* shell_ = nullptr;
  int status_ = 0;
  bool exited_ = false;
  bool flowLocked_ = false;
  termios before_ = {};
  std::string screen_;  // what the program has shown so far
};

struct KeyCase {
  const char* name;
  std::string typed;
  std::string left;            // what a later reader finds afterwards
  const char* term = "xterm";  // the terminal's TERM
};

// key, bytes typed on the terminal, bytes that must remain for a later reader, TERM
const KeyCase kKeys[] = {
    {"up_arrow", "\x1b[A", ""},
    {"F5", "\x1b[15~", ""},
    {"alt_x", "\x1bx", ""},
    {"esc", "\x1b", ""},
    {"ctrl_c", "\x03", ""},
    {"ctrl_z", "\x1a", ""},
    {"ctrl_s", "\x13", ""},  // flow control is off while raw
    {"ctrl_q", "\x11", ""},
    {"e_acute", "\xC3\xA9", ""},
    // the rest of the burst a key came in goes with it: a paste the terminal
    // does not bracket, a flag (two code points)
    {"letter_with_more_in_its_burst", "ab", ""},
    {"unbracketed_paste", "echo ONE\recho TWO\r", "", "dumb"},
    {"paste_larger_than_the_terminal_buffer", std::string(20000, 'e'), "", "dumb"},
    {"paste_on_the_linux_console", std::string(20000, 'e'), "", "linux"},
    {"flag_emoji", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7", ""},
    // mouse reports (SGR press and release, X10, urxvt) and focus reports are
    // no key; a paste is one press, read to its end
    {"paste_after_clicks",
     "\x1b[<0;20;11M\x1b[<0;20;11m\x1b[M !!\x1b[32;20;11M\x1b[200~2\rkN/m\r\x1b[201~", ""},
    {"key_after_focus_reports", "\x1b[I\x1b[Oq", ""},
    {"dumb_terminal", "q", "", "dumb"},
    {"no_TERM", "q", "", nullptr},
};

// Names the case in test listings (instead of a dump of its bytes).
void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.name; }

class KeyWait : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyWait, OnePressEndsTheRunAndRestoresTheTerminal) {
  PtyOptions options;
  options.term = GetParam().term;
  // A long press the typist could not send as one burst (a loaded machine)
  // tells nothing: it is typed again in a new run, five times at most.
  for (int attempt = 1;; ++attempt) {
    PtyRun run(options);
    ASSERT_TRUE(run.waitUntilReadingKeys());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(run.stillRunning());
    // A read blocks until a byte comes: killed now, the program would leave
    // a terminal whose next reader still waits for input.
    EXPECT_EQ(run.settings().c_cc[VMIN], 1);
    EXPECT_EQ(run.settings().c_cc[VTIME], 0);
    const bool oneBurst = run.press(GetParam().typed);
    EXPECT_EQ(run.exitCode(), 0);
    if (!oneBurst && attempt < 5) continue;
    EXPECT_TRUE(oneBurst) << "the typist paused in every attempt";
    EXPECT_TRUE(run.settingsRestored());
    EXPECT_EQ(run.echoed(), asksForPasteMode(options.term) ? kPasteOff : "");
    EXPECT_EQ(run.leftForLaterReader(), GetParam().left);
    break;
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyWait, ::testing::ValuesIn(kKeys),
                         [](const ::testing::TestParamInfo<KeyCase>& param) {
                           return std::string(param.param.name);
                         });

// signal sent while the program waits for its key: ending ones, a crash
// signal, a real-time one; and the two no program can answer, after which
// the terminal is left raw but a shell's next read still waits for input
const int kSignals[] = {
    SIGTERM,      SIGHUP,   SIGQUIT, SIGINT, SIGUSR1, SIGSEGV, SIGALRM,
#ifdef SIGRTMIN
    SIGRTMIN + 1, SIGRTMAX,  // the last, whatever the system's count
#endif
    SIGKILL,      SIGSTOP,
};

class KeyWaitSignal : public ::testing::TestWithParam<int> {};

TEST_P(KeyWaitSignal, RestoresTheTerminalThenDiesByTheSignal) {
  PtyRun run;
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.signal(GetParam());
  if (GetParam() == SIGKILL || GetParam() == SIGSTOP) {
    if (GetParam() == SIGKILL) {
      EXPECT_TRUE(WIFSIGNALED(run.waitForExit()));
    }
    EXPECT_TRUE(run.aReadWaitsForInput());
    return;
  }
  const int status = run.waitForExit();
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), GetParam());
  EXPECT_TRUE(run.settingsRestored());
  EXPECT_EQ(run.echoed(), kPasteOff);
}

INSTANTIATE_TEST_SUITE_P(Signals, KeyWaitSignal, ::testing::ValuesIn(kSignals),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return std::string(strsignal(param.param)).substr(0, 4) +
                                  std::to_string(param.param);
                         });

// An alarm set before exec (perl -e 'alarm 2; exec @ARGV' beam): it comes
// at its time during the wait, and ends the program with the terminal put
// back, as it ends any program.
TEST(KeyWaitAlarm, AnAlarmFromBeforeTheStartEndsItAtItsTime) {
  constexpr int kAlarmMs = 1500;
  const auto start = Clock::now();
  PtyRun run({.alarmMs = kAlarmMs});
  ASSERT_TRUE(run.waitUntilReadingKeys());
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kAlarmMs)) << "no wait to test";
  const int status = run.waitForExit();
  ASSERT_TRUE(WIFSIGNALED(status)) << "status " << status;
  EXPECT_EQ(WTERMSIG(status), SIGALRM);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(kAlarmMs + 1000));
  EXPECT_TRUE(run.settingsRestored());
}

// SIGTSTP during the wait (a stop from elsewhere: Ctrl+Z itself is a key),
// then `fg`: stopped with the terminal as it was before, raw again once
// continued, and one key ends it.
TEST(KeyWaitJobControl, StopsWithTheTerminalRestoredAndResumesRaw) {
  PtyRun run({Layout::kForegroundJob});
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.signal(SIGTSTP);
  ASSERT_TRUE(run.waitForRaw(false));
  // Still cooked a while later: the program stopped rather than going on.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(run.settingsRestored());
  run.foreground();
  ASSERT_TRUE(run.waitForRaw(true));
  run.press("q");
  EXPECT_EQ(run.exitCode(), 0);
  EXPECT_TRUE(run.settingsRestored());
  EXPECT_EQ(run.echoed(), kPasteOff + kPasteOn + kPasteOff);
  EXPECT_EQ(run.leftForLaterReader(), "");
}

// Ctrl+Z while an answer is edited: the settings are back while stopped,
// and `fg` sets the editor's again and draws the question and the line
// again, and so does a resize. Ctrl+C while editing ends the run with the
// settings back.
TEST(KeyWaitJobControl, AStopDuringAnEditKeepsTheLine) {
  const std::string question = "Enter Value 1 For The Length OF The Figure(Shape) Above = ";
  PtyRun run({.layout = Layout::kForegroundJob, .typesAnswers = true});
  ASSERT_TRUE(run.answer("6"));
  ASSERT_TRUE(run.waitToSee(question + "6"));
  run.press("\x1a");
  ASSERT_TRUE(run.waitForStops(1));
  EXPECT_TRUE(run.settingsRestored());
  run.background();  // `bg`: at its read the job stops again, as in line mode
  ASSERT_TRUE(run.waitForStops(2));
  run.foreground();
  ASSERT_TRUE(run.waitToSee(question + "6" + question + "6"));
  run.press("7");
  ASSERT_TRUE(run.waitToSee(question + "67"));
  run.resize(100);
  ASSERT_TRUE(run.waitToSee("\r\x1b[J" + question + "67"));
  run.press("\r2\r0\r0\rkN/m\rkN\rm\r");
  ASSERT_TRUE(run.waitUntilReadingKeys());
  EXPECT_NE(run.screen().find(" Ay = 44.6667 kN\r\n"), std::string::npos) << run.screen();
  run.press("q");
  EXPECT_EQ(run.exitCode(), 0);
  PtyRun interrupted({.layout = Layout::kForegroundJob, .typesAnswers = true});
  ASSERT_TRUE(interrupted.answer("6"));
  ASSERT_TRUE(interrupted.waitToSee(question + "6"));
  interrupted.press("\x03");
  EXPECT_EQ(interrupted.waitForExit(), (128 + SIGINT) << 8);
  EXPECT_TRUE(interrupted.settingsRestored());
}

// `kill %1` on the stopped job: SIGTERM and SIGCONT while the shell owns the
// terminal. The job ends by SIGTERM and leaves the shell's settings alone.
TEST(KeyWaitJobControl, AStoppedJobEndsWhenKilled) {
  PtyRun run({Layout::kForegroundJob});
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.signal(SIGTSTP);
  ASSERT_TRUE(run.waitForRaw(false));
  run.killJob();
  EXPECT_EQ(run.exitCode(), 128 + SIGTERM);
  EXPECT_TRUE(run.settingsRestored());
}

// A stop the system discards (the program alone leads an orphaned process
// group): reading goes on raw, and one key ends the run.
TEST(KeyWaitJobControl, ADiscardedStopLeavesTheTerminalRaw) {
  PtyRun run;
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.signal(SIGTSTP);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_TRUE(run.waitForRaw(true));
  run.press("q");
  EXPECT_EQ(run.exitCode(), 0);
  EXPECT_TRUE(run.settingsRestored());
}

struct NoWaitCase {
  const char* name;
  PtyOptions options;
};

// where the program runs and where its output goes: nobody can answer there
const NoWaitCase kNoWait[] = {
    {"output_to_a_pipe", {Layout::kAlone, OutputTo::kPipe}},
    {"output_to_a_file", {Layout::kAlone, OutputTo::kFile}},
    {"background_job", {Layout::kBackgroundJob, OutputTo::kTerminal}},
    {"output_to_another_terminal", {Layout::kAlone, OutputTo::kOtherTerminal}},
    // a script without job control starts its & commands with SIGINT ignored
    {"started_by_a_script_with_ampersand",
     {Layout::kForegroundJob, OutputTo::kTerminal, false, false, {}, true}},
};

void PrintTo(const NoWaitCase& c, std::ostream* out) { *out << c.name; }

class KeyWaitNobodyToAnswer : public ::testing::TestWithParam<NoWaitCase> {};

TEST_P(KeyWaitNobodyToAnswer, EndsAtOnceWithTheTerminalUntouched) {
  PtyRun run(GetParam().options);
  EXPECT_EQ(run.exitCode(), 0);  // not kJobStopped
  EXPECT_TRUE(run.settingsRestored());
}

INSTANTIATE_TEST_SUITE_P(Runs, KeyWaitNobodyToAnswer, ::testing::ValuesIn(kNoWait),
                         [](const ::testing::TestParamInfo<NoWaitCase>& param) {
                           return std::string(param.param.name);
                         });

// Terminals in unusual states: opened at a descriptor select() cannot
// watch; opened as descriptor 0 (`beam <&-`); with a bit the wait would
// change locked (root's TIOCSLCKTRMIOS), so that the terminal does not
// keep every setting it is given; started with SIGALRM blocked (then sent
// one, or an alarm coming due: it stays pending), or ignored and with an
// alarm coming during the wait, where Esc alone must still end the wait in
// its time. The wait still waits, the key is one press, and the settings
// are put back exactly.
TEST(KeyWaitPress, UnusualTerminalsStillWaitAndRestore) {
  const std::tuple<const char*, PtyOptions, const char*, int> cases[] = {
      {"high descriptor", {.highDescriptor = true}, "\x1b[A", 0},
      {"input closed", {.closedInput = true}, "\x1b[A", 0},
      {"a locked bit", {.lockedFlow = true}, "\x1b[A", 0},
      {"SIGALRM blocked", {.alarmBlocked = true}, "\x1b", 0},
      {"SIGALRM blocked, then sent", {.alarmBlocked = true}, "\x1b", SIGALRM},
      {"SIGALRM blocked, an alarm due", {.alarmBlocked = true, .alarmMs = 150}, "\x1b", 0},
      {"SIGALRM ignored", {.alarmIgnored = true, .alarmMs = 150}, "\x1b", 0},
  };
  for (const auto& [name, options, key, signal] : cases) {
    SCOPED_TRACE(name);
    rlimit limit;
    getrlimit(RLIMIT_NOFILE, &limit);
    if (options.highDescriptor && limit.rlim_max != RLIM_INFINITY &&
        limit.rlim_max < kDescriptorsNeeded) {
      continue;  // cannot open that many files here
    }
    PtyRun run(options);
    if (options.lockedFlow && !run.flowLocked()) continue;  // not root, or not Linux
    ASSERT_TRUE(run.waitUntilReadingKeys());
    if (signal != 0) run.signal(signal);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(run.stillRunning());
    run.press(key);
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.settingsRestored());
    EXPECT_EQ(run.leftForLaterReader(), "");
  }
}

struct PauseCase {
  std::string head;  // the bytes before the pause
  int pauseMs;       // from when the program has read them
  std::string tail;  // the bytes after it
  std::string left;  // what a later reader finds
  int withinMs = 0;  // the row tells only when the tail came this soon after the head
  bool headIsAKey = false;
  const char* term = "xterm";
  const char* lang = nullptr;
};

// Pauses well clear of each of the wait's times: an arrow (ESC [ A), F1
// (ESC O P) or Ctrl+Alt+F1 (ESC O 1 ; 9 P) with its final byte late (a slow
// link) is one press, also when it is later than Esc's time; Esc is a press
// of its own, and a letter after its time is left for the shell; a report
// alone is no press (a mode 1005 click at column 96 too); a bracketed paste
// is read to its end however long it pauses, and also when its text begins
// with what closes one but for the ESC. Halfway through the pause the
// program still waits, and a read of the terminal still blocks (the program
// times it itself). Keys typed after the key reach the shell: soon after it
// where pastes are marked, once the burst is over where they are not, and
// after a letter of a terminal that is not UTF-8. A row whose tail came too
// late to tell (a loaded machine) is tried again.
TEST(KeyWaitPress, PausesAreTimedByTheWait) {
  const PauseCase cases[] = {
      {"\x1b[", kSequenceFollowMs / 2, "A", "", kSequenceFollowMs},
      {"\x1bO", kSequenceFollowMs / 2, "P", "", kSequenceFollowMs},
      {"\x1bO1;9", kSequenceFollowMs / 3, "P", "", kSequenceFollowMs},
      {"\x1b[", (kEscapeFollowMs + kSequenceFollowMs) / 2, "A", "", kSequenceFollowMs},
      {"\x1b", kEscapeFollowMs + 100, "x", "x"},
      {"\x1b[I", kSequenceFollowMs + 100, "q", ""},
      {"\x1b[M \xC2\x80!", kSequenceFollowMs + 100, "q", ""},
      {"\x1b[200~echo ONE\r", 1000, "echo TWO\r\x1b[201~", ""},
      {"\x1b[200~[201~", kSequenceFollowMs / 2, "echo ONE\r\x1b[201~", ""},
      {"q", kQuietMs / 2, "ls", "ls", 0, true},
      {"q", kQuietMs + 20, "ls", "ls", 0, true, "dumb"},
      {"\xE9", kQuietMs / 2, "ls", "ls", 0, true, "xterm", "en_US.ISO-8859-1"},
      {"\xE9", 3 * kQuietMs, "echo hi", "echo hi", 0, true, "xterm", "C.UTF-8"},
  };
  for (const PauseCase& c : cases) {
    for (int attempt = 1;; ++attempt) {
      PtyRun run({.term = c.term, .lang = c.lang});
      ASSERT_TRUE(run.waitUntilReadingKeys());
      const auto start = Clock::now();
      run.press(c.head);
      run.waitUntilTypingIsRead();
      std::this_thread::sleep_for(std::chrono::milliseconds(c.pauseMs / 2));
      EXPECT_TRUE(c.headIsAKey || run.stillRunning()) << c.tail;
      EXPECT_TRUE(c.headIsAKey || run.settings().c_cc[VMIN] == 1) << c.tail;
      std::this_thread::sleep_for(std::chrono::milliseconds(c.pauseMs - c.pauseMs / 2));
      run.press(c.tail);
      const bool tells =
          c.withinMs == 0 || Clock::now() - start < std::chrono::milliseconds(c.withinMs);
      EXPECT_EQ(run.exitCode(), 0);
      if (!tells && attempt < 5) continue;
      EXPECT_EQ(run.leftForLaterReader(), c.left) << c.tail;
      break;
    }
  }
}

// Another program changes the terminal's settings during the wait (a flag,
// a control character, a read timer of 0.1 s, no read timer at all): the
// wait still waits for a key that comes after a pause, without reads that
// return at once (a nap of 20 ms between them would make 20), and its end
// leaves the settings as they are.
TEST(KeyWaitPress, AnotherProgramsSettingsAreLeftAlone) {
  const std::pair<const char*, void (*)(termios&)> changes[] = {
      {"a flag", [](termios& t) { t.c_iflag |= IXANY; }},
      {"a control character", [](termios& t) { t.c_cc[VKILL] = 'K'; }},
      {"a read timer",
       [](termios& t) {
         t.c_cc[VMIN] = 0;
         t.c_cc[VTIME] = 1;
       }},
      {"no read timer",
       [](termios& t) {
         t.c_cc[VMIN] = 0;
         t.c_cc[VTIME] = 0;
       }},
  };
  for (const auto& [name, change] : changes) {
    PtyRun run;
    ASSERT_TRUE(run.waitUntilReadingKeys());
    termios theirs = run.settings();
    change(theirs);
    const long readsBefore = run.readCalls();
    run.otherProgramSets(theirs);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(run.stillRunning()) << name;
    if (readsBefore >= 0) {
      EXPECT_LT(run.readCalls() - readsBefore, 10) << name;
    }
    run.press("q");
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(sameSettings(run.settings(), theirs)) << name;
  }
}

// While set, this process's poll() refuses terminals as macOS's does
// (POLLNVAL; see readable() above), so a wait here takes its select() way.
bool pollRefusesTerminals = false;

}  // namespace
}  // namespace beam

extern "C" int poll(pollfd* fds, nfds_t count, int milliseconds) {
  using Poll = int (*)(pollfd*, nfds_t, int);
  static const auto next = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
  if (beam::pollRefusesTerminals && count == 1 && isatty(fds[0].fd) == 1) {
    fds[0].revents = POLLNVAL;
    return 1;
  }
  return next(fds, count, milliseconds);
}

namespace beam {
namespace {

extern "C" void callersHandler(int) {}
extern "C" void callersHandlerThatWaits(int) {
  Output nothing(nullptr);
  waitForKey(nothing);
}

// Two waits in one process whose caller has a SIGTERM handler of its own:
// the second waits for a key of its own, and the handler is the caller's
// again after each. A SIGWINCH handler of the caller's that waits too,
// during each wait, takes nothing and leaves the terminal raw. The second
// wait has a poll() that refuses terminals (macOS): select() still waits.
TEST(KeyWaitInProcess, WaitsAgainAndGivesBackTheCallersHandlers) {
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    ioctl(slave, TIOCSCTTY, 0);
    dup2(slave, STDOUT_FILENO);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, callersHandler);
    std::signal(SIGWINCH, callersHandlerThatWaits);
    struct sigaction now;
    int handlersBack = 0;
    for (int wait = 0; wait < 2; ++wait) {
      Output nothing(nullptr);
      pollRefusesTerminals = wait == 1;
      waitForKey(nothing);
      sigaction(SIGTERM, nullptr, &now);
      handlersBack += now.sa_handler == callersHandler ? 1 : 0;
      [[maybe_unused]] const ssize_t n = write(STDOUT_FILENO, "|", 1);  // this wait is over
    }
    _exit(handlersBack == 2 ? 0 : 3);
  }
  const auto waitIsOver = [&] {  // the child's mark after a wait
    const auto deadline = Clock::now() + kPatience;
    char byte = 0;
    while (Clock::now() < deadline && byte != '|') {
      if (readable(master, 100) && read(master, &byte, 1) != 1) return false;
    }
    return byte == '|';
  };
  const auto rawAfterNestedWait = [&] {
    kill(child, SIGWINCH);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    termios now;
    return tcgetattr(slave, &now) == 0 && (now.c_lflag & ICANON) == 0;
  };
  const bool bothKeysRead = waitForRawOn(slave, true) && rawAfterNestedWait() &&
                            write(master, "a", 1) == 1 && waitIsOver() &&
                            waitForRawOn(slave, true) && rawAfterNestedWait() &&
                            write(master, "b", 1) == 1 && waitIsOver();
  EXPECT_TRUE(bothKeysRead);
  if (!bothKeysRead) kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  int unread = 0;  // each key was read by its wait
  EXPECT_TRUE(ioctl(slave, FIONREAD, &unread) == 0 && unread == 0);
  close(master);
  close(slave);
}

struct StopCase {
  const char* name;
  int signal;                 // sent to the job during the wait
  bool keyBeforeTheStop;      // a key pressed while the signal is held off
  bool shellRestores;         // the shell puts its own settings back while stopped
  bool foreground;            // then `fg` (and a key), or `bg`
  std::string echoedAfterIt;  // what the program writes to the terminal after the stop
};

// Stops the program cannot act on, or only after the wait. SIGSTOP (no
// handler sees it), then `fg`: raw again, and a key ends it; or `bg`: the
// wait ends with status 0 rather than stop again on its read, puts back
// the settings it left, and leaves the shell's own alone. SIGTSTP, then
// `bg`: nothing more is written. SIGTTOU from elsewhere: held off while
// raw, the job stops only once the key has put the settings back.
const StopCase kStops[] = {
    {"stop_fg", SIGSTOP, false, true, true, kPasteOn + kPasteOff},
    {"stop_bg", SIGSTOP, false, false, false, kPasteOff},
    {"stop_shell_settings_bg", SIGSTOP, false, true, false, ""},
    {"tstp_bg", SIGTSTP, false, false, false, ""},
    {"ttou_from_elsewhere", SIGTTOU, true, false, true, ""},
};

void PrintTo(const StopCase& c, std::ostream* out) { *out << c.name; }

class KeyWaitStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(KeyWaitStop, SettingsEndAsTheShellLeftThem) {
  const StopCase& c = GetParam();
  PtyRun run({Layout::kForegroundJob});
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.echoed();
  run.signal(c.signal);
  if (c.keyBeforeTheStop) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(run.stillRunning());
    run.press("q");
  }
  ASSERT_TRUE(run.waitForStops(1));
  if (c.signal != SIGSTOP) {
    EXPECT_TRUE(run.settingsRestored());
  }
  const std::string beforeTheStop = run.echoed();
  if (c.shellRestores) run.shellRestoresSettings();
  if (c.foreground) {
    run.foreground();
    if (!c.keyBeforeTheStop) {
      ASSERT_TRUE(run.waitForRaw(true));
      run.press("q");
    }
  } else {
    run.background();
  }
  EXPECT_EQ(run.exitCode(), 0);
  EXPECT_TRUE(run.settingsRestored());
  EXPECT_EQ(run.echoed(), c.echoedAfterIt) << "before the stop: " << beforeTheStop.size();
  EXPECT_EQ(run.leftForLaterReader(), "");
}

INSTANTIATE_TEST_SUITE_P(Stops, KeyWaitStop, ::testing::ValuesIn(kStops),
                         [](const ::testing::TestParamInfo<StopCase>& param) {
                           return std::string(param.param.name);
                         });

// The program that started beam ends during the wait (a script killed from
// elsewhere): the settings are back before the shell, seeing its job end,
// saves them as its own; also where SIGHUP is ignored and that program had
// asked for a signal of its own on its end (Linux); not its thread's end.
TEST(KeyWaitJobControl, SettingsAreBackWhenTheProgramThatStartedItEnds) {
  const PtyOptions cases[] = {
      {Layout::kStartedByAJob},
      {.layout = Layout::kStartedByAJob, .ignoreHangup = true, .parentEndSignal = SIGTERM},
      {Layout::kStartedByAThread},
  };
  for (const PtyOptions& options : cases) {
#ifndef __linux__
    if (options.parentEndSignal != 0 || options.layout == Layout::kStartedByAThread) continue;
#endif
    PtyRun run(options);
    ASSERT_TRUE(run.waitUntilReadingKeys());
    run.endTheStartingProgram();
    if (options.layout == Layout::kStartedByAThread) {  // the wait goes on
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      EXPECT_FALSE(run.settingsRestored());
      run.press("q");
      EXPECT_TRUE(run.waitForRaw(false) && run.settingsRestored());
      continue;
    }
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.shellSavedTheSettingsBefore()) << options.ignoreHangup;
  }
}

// The shell takes the terminal back during the wait (a script that started
// the program in the background has ended): the wait ends within its
// check, the terminal's settings are put back from the background, and a
// key typed a moment later is left for the shell.
TEST(KeyWaitJobControl, EndsWhenTheShellTakesTheTerminalBack) {
  PtyRun run({Layout::kForegroundJob});
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.takeTerminalBack();
  ASSERT_TRUE(run.waitForRaw(false));
  std::this_thread::sleep_for(std::chrono::milliseconds(2 * kOwnerCheckMs + 100));
  run.press("x");
  EXPECT_EQ(run.exitCode(), 0);
  EXPECT_TRUE(run.settingsRestored());
  EXPECT_EQ(run.leftForLaterReader(), "x");
}

// Keys typed before the closing line (an Enter too many, the rest of a
// paste) are dropped: only a key pressed during the wait ends it. An
// end-of-input mark among them (`script` sends one when its input ends)
// means nobody will press a key: no wait, the terminal untouched.
TEST(KeyWaitPress, KeysTypedBeforeTheClosingLineDoNotEndTheWait) {
  PtyOptions options;
  options.typedEarly = "k\r\r";
  PtyRun run(options);
  ASSERT_TRUE(run.waitUntilReadingKeys());
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(run.stillRunning());
  run.press("q");
  EXPECT_EQ(run.exitCode(), 0);
  EXPECT_EQ(run.leftForLaterReader(), "");
  PtyRun ended({.typedEarly = "k\r\x04"});
  EXPECT_EQ(ended.exitCode(), 0);
  EXPECT_TRUE(ended.settingsRestored());
  PtyRun fiveAnswers({.typesAnswers = true});  // the mark ends the answers: no key asked
  ASSERT_TRUE(fiveAnswers.answer("6\n2\n0\n0\nkN/m\n\x04"));
  EXPECT_EQ(fiveAnswers.exitCode(), 0);
  EXPECT_TRUE(fiveAnswers.waitToSee("are taken as empty.\r\nPress Any Key To Continue\r\n"));
  PtyRun sixAnswers({.typesAnswers = true});  // Ctrl+D at the line's end hands "k" over
  ASSERT_TRUE(sixAnswers.answer("6\n2\n0\n0\nkN/m\nkx\x02\x04\x04\x04"));
  EXPECT_TRUE(sixAnswers.waitToSee("Bx = 0.00 k\r\n") && sixAnswers.waitToSee("before answer 7"));
}

// A driver (expect, a grader's pty) sends its key the moment the closing
// line appears, before the wait has set the terminal raw: it counts, run
// after run.
TEST(KeyWaitPress, AKeySentAsTheClosingLineAppearsCounts) {
  for (int attempt = 0; attempt < 40; ++attempt) {
    PtyRun run;
    ASSERT_TRUE(run.waitToSee("Press Any Key To Continue\r\n"));
    run.press("x");
    ASSERT_EQ(run.exitCode(), 0) << "run " << attempt;
  }
}

// Answers typed at the terminal itself: the terminal's reports among them
// (focus, mouse, paste marks; left on by an earlier program) are no part of
// an answer; a terminal left non-blocking still waits for each; an answer
// that cannot be read gets its note on the screen, and the key wait still
// waits. Each line is edited on its row: what is typed plainly shows as
// the terminal's echo would, edits move the cursor (a wrapped answer's
// Home goes up a row), and all seven pasted at once are each read once;
// answers typed before the first question are shown once, by the terminal.
TEST(KeyWaitPress, TypedAnswersWithoutReportsAndTheNoteOnOneUnread) {
  const std::tuple<PtyOptions, std::string, std::vector<std::string>> cases[] = {
      {{.typesAnswers = true},
       "6\x1b[I\n2\x1b[<0;12;3M\x1b[<0;12;3m\n\x1b[200~0\x1b[201~\n0\nkN/m\nkN\x1b[O\nm\n",
       {"\r\n Ay = 4 kN\r\n"}},
      {{.typesAnswers = true, .nonBlocking = true},
       "6\n2\n0\n0\nkN/m\nkN\nm\n",
       {"Above = 6\r\n2\r\n0\r\n0\r\nkN/m\r\nkN\r\nm\r\nEnter Value 2", "\r\n Ay = 4 kN\r\n"}},
      {{.typesAnswers = true, .noReadMinimum = true},
       "6\n2\n0\n0\nkN/m\nkN\nm\n",
       {"\r\n Ay = 4 kN\r\n"}},
      {{.typesAnswers = true},
       "6\nx\n",
       {"\"x\". It and the answers after it are taken as 0, the unit words as empty. Press a key, "
        "then run beam again.\r\n"}},
      {{.typesAnswers = true},
       "67\x1b[D\x7f\r2\x1bOH\x1b[3~3\r0\r0\rkN/m\rkN\rm\r",
       {"Above = 67\x1b[1D\x1b[1D\x1b[J7\x1b[1D7\r\n", " Ay = 7 kN\r\n"}},
      {{.typesAnswers = true},
       "6                         x\x01\x1b[3~7\x05\x17\r\x1b[200~2\r0\r0\r\x1b[201~kN/m\rkN\rm\r",
       {"\x1b[1A\r\x1b[58C\x1b[J7", " Ay = 4.66667 kN\r\n"}},
      {{.lang = "C", .typesAnswers = true, .utf8Input = true},
       "6\r2\r0\r0\r\xe7\x89\x9b\xe7\xb1\xb3\x7f\rkN\rm\r",
       {"Beam Is  = 2 \xe7\x89\x9b\r\n"}},
      {{.typedEarly = "6\r2\r0\r0\rkN/m\rkN\rm\r", .typesAnswers = true},
       "",
       {"Above = Enter Value 2", " Ay = 4 kN\r\n"}},
  };
  for (const auto& [options, typed, shown] : cases) {
    SCOPED_TRACE(typed);
    PtyRun run(options);
    ASSERT_TRUE(run.answer(typed));
    ASSERT_TRUE(run.waitUntilReadingKeys());
    for (const std::string& part : shown) {
      EXPECT_NE(run.screen().find(part), std::string::npos) << part << "\n" << run.screen();
    }
    if (!options.typedEarly.empty()) {  // the terminal's echo, and none of the program's
      EXPECT_EQ(run.screen().find("6\r\n2\r\n"), run.screen().rfind("6\r\n2\r\n"));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(run.stillRunning());
    run.press("q");
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.settingsRestored());
  }
}

// The terminal's window closed during the wait while SIGHUP is ignored: the
// reads find nothing or fail, and the wait ends at once rather than spin.
TEST(KeyWaitPress, EndsWhenTheTerminalGoesAway) {
  PtyOptions options;
  options.ignoreHangup = true;
  PtyRun run(options);
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.closeWindow();
  EXPECT_EQ(run.exitCode(), 0);
}

// `fg` and a stop from elsewhere right after it, a thousand times: the job
// never stops with the terminal raw.
TEST(KeyWaitJobControl, AStopRightAfterContinuingFindsItsHandler) {
  PtyRun run({Layout::kForegroundJob});
  ASSERT_TRUE(run.waitUntilReadingKeys());
  run.signal(SIGTSTP);
  ASSERT_TRUE(run.waitForStops(1));
  int rawStops = 0;
  for (int stops = 2; stops <= 1000; ++stops) {
    run.foregroundThenStop();
    ASSERT_TRUE(run.waitForStops(stops));
    rawStops += run.settingsRestored() ? 0 : 1;
  }
  EXPECT_EQ(rawStops, 0);
}

}  // namespace
}  // namespace beam
