#include "platform/terminal/terminal_display.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace torvex {
namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal: the display runs on the slave side; the master side is the
// "terminal", read by a thread so that the display's writes never block.
class Pty {
 public:
  explicit Pty(bool drain = true) {
    winsize ws{};
    ws.ws_col = 80;
    ws.ws_row = 50;
    if (openpty(&master_, &slave_, nullptr, nullptr, &ws) != 0) {
      ADD_FAILURE() << "openpty failed";
      return;
    }
    tcgetattr(slave_, &original_);
    if (drain) reader_ = std::thread([this] { Drain(); });
  }
  ~Pty() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    close(slave_);
    close(master_);
  }
  int slave() const { return slave_; }
  int master() const { return master_; }
  const termios& original() const { return original_; }

  void Type(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void Resize(int columns, int rows) {
    winsize ws{};
    ws.ws_col = static_cast<unsigned short>(columns);
    ws.ws_row = static_cast<unsigned short>(rows);
    ioctl(master_, TIOCSWINSZ, &ws);
  }
  // Everything the display wrote so far; waits up to a second for `until`.
  std::string Output(const std::string& until = "") {
    const auto deadline = Clock::now() + std::chrono::seconds(1);
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (until.empty() || output_.find(until) != std::string::npos || Clock::now() > deadline) {
          return output_;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  void ClearOutput() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::lock_guard<std::mutex> lock(mutex_);
    output_.clear();
  }
  // Reads what is buffered on the master side (for use without the thread).
  std::string ReadAvailable() {
    std::string out;
    char buf[4096];
    pollfd p{master_, POLLIN, 0};
    while (poll(&p, 1, 100) > 0) {
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }

 private:
  void Drain() {
    char buf[4096];
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      output_.append(buf, static_cast<size_t>(n));
    }
  }

  int master_ = -1, slave_ = -1;
  termios original_{};
  std::thread reader_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string output_;
};

bool SameModes(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_lflag == b.c_lflag &&
         a.c_cflag == b.c_cflag && a.c_cc[VMIN] == b.c_cc[VMIN];
}

termios ModesOf(int fd) {
  termios t{};
  tcgetattr(fd, &t);
  return t;
}

std::unique_ptr<TerminalDisplay> OpenOn(const Pty& pty) {
  std::string error;
  auto display = TerminalDisplay::Open(pty.slave(), pty.slave(), &error);
  EXPECT_NE(display, nullptr) << error;
  return display;
}

struct TestFrame {
  std::vector<Cell> cells = std::vector<Cell>(80 * 50);
  Frame View(int cursorY = 0) const { return {80, 50, cells.data(), 0, cursorY, 25}; }
  void Put(int x, int y, const std::string& text, uint8_t attr) {
    for (size_t i = 0; i < text.size(); ++i) {
      cells[static_cast<size_t>(y * 80 + x) + i] = {static_cast<uint8_t>(text[i]), attr};
    }
  }
};

TEST(TerminalDisplay, RefusesWhatIsNotATerminal) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string error;
  EXPECT_EQ(TerminalDisplay::Open(fds[0], fds[1], &error), nullptr);
  EXPECT_NE(error.find("terminal"), std::string::npos);
  close(fds[0]);
  close(fds[1]);
}

TEST(TerminalDisplay, RawModeOnOpenAndOriginalModesAfterShutdown) {
  Pty pty;
  auto display = OpenOn(pty);
  ASSERT_NE(display, nullptr);
  const termios raw = ModesOf(pty.slave());
  EXPECT_EQ(raw.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u);
  EXPECT_EQ(raw.c_iflag & (IXON | ICRNL), 0u);
  std::string error;
  EXPECT_EQ(TerminalDisplay::Open(pty.slave(), pty.slave(), &error), nullptr) << "second display";
  const std::string entered = pty.Output("\x1b[?2004h");
  for (const char* s : {"\x1b[?1049h", "\x1b[>1u", "\x1b[>4;1m", "\x1b[?2004h"}) {
    EXPECT_NE(entered.find(s), std::string::npos) << &s[1];
  }
  display->Shutdown();
  EXPECT_TRUE(SameModes(ModesOf(pty.slave()), pty.original()));
  const std::string left = pty.Output("\x1b[?1049l");
  EXPECT_NE(left.find("\x1b[<u"), std::string::npos);
  EXPECT_NE(left.find("\x1b[?1049l"), std::string::npos);
  // The handlers are gone with the display.
  struct sigaction sa {};
  sigaction(SIGTERM, nullptr, &sa);
  EXPECT_EQ(sa.sa_handler, SIG_DFL);
}

TEST(TerminalDisplay, KeysTypedAtTheTerminalArrive) {
  Pty pty;
  auto display = OpenOn(pty);
  ASSERT_NE(display, nullptr);
  pty.Type("\x1b[1;5Ax\x1b[24;2~");
  KeyEvent e;
  ASSERT_TRUE(display->ReadKeyEvent(&e, 1000));
  EXPECT_EQ(e, (KeyEvent{vk::kUp, kCtrl, 0}));
  ASSERT_TRUE(display->ReadKeyEvent(&e, 1000));
  EXPECT_EQ(e, (KeyEvent{'X', 0, 'x'}));
  ASSERT_TRUE(display->ReadKeyEvent(&e, 1000));
  EXPECT_EQ(e, (KeyEvent{vk::kF1 + 11, kShift, 0}));

  // A lone Esc arrives after the short wait, well before the caller's limit.
  pty.Type("\x1b");
  auto start = Clock::now();
  ASSERT_TRUE(display->ReadKeyEvent(&e, 2000));
  EXPECT_EQ(e, (KeyEvent{vk::kEscape, 0, 27}));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));

  start = Clock::now();
  EXPECT_FALSE(display->ReadKeyEvent(&e, 60));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(55));
}

TEST(TerminalDisplay, SigtermEndsTheKeyWaitAndShutdownRestores) {
  Pty pty;
  auto display = OpenOn(pty);
  ASSERT_NE(display, nullptr);
  raise(SIGTERM);
  EXPECT_TRUE(display->TerminationRequested());
  KeyEvent e;
  try {
    display->ReadKeyEvent(&e, -1);
    ADD_FAILURE() << "no TerminationRequest";
  } catch (const TerminationRequest& request) {
    EXPECT_EQ(request.Signal(), SIGTERM);
  }
  EXPECT_THROW(display->ReadKeyEvent(&e, -1), TerminationRequest);
  display->Shutdown();
  EXPECT_TRUE(SameModes(ModesOf(pty.slave()), pty.original()));
}

TEST(TerminalDisplay, ResizeRepaintsAtTheNewSize) {
  Pty pty;
  auto display = OpenOn(pty);
  ASSERT_NE(display, nullptr);
  TestFrame frame;
  frame.Put(0, 0, "Hello", 0x0E);
  display->Present(frame.View());
  pty.Output("Hello");
  pty.ClearOutput();
  pty.Resize(40, 20);
  raise(SIGWINCH);
  KeyEvent e;
  EXPECT_FALSE(display->ReadKeyEvent(&e, 50));
  EXPECT_EQ(display->Columns(), 40);
  const std::string out = pty.Output("Terminal is 40x20");
  EXPECT_NE(out.find("\x1b[2J"), std::string::npos);
  EXPECT_NE(out.find("Hello"), std::string::npos);
  EXPECT_NE(out.find("Terminal is 40x20"), std::string::npos);
}

TEST(TerminalDisplay, FarewellRowsFollowTheLeaveSequence) {
  Pty pty;
  auto display = OpenOn(pty);
  ASSERT_NE(display, nullptr);
  TestFrame frame;
  frame.Put(0, 0, "Thanks", 0x0B);
  frame.Put(0, 1, "for playing", 0x07);
  frame.Put(0, 2, "not shown", 0x07);
  const Frame view = frame.View(2);
  display->Shutdown(&view);
  const std::string out = pty.Output("playing");
  const size_t left = out.find("\x1b[?1049l");
  ASSERT_NE(left, std::string::npos);
  const std::string after = out.substr(left);
  EXPECT_NE(after.find("\x1b[0;96;40mThanks\x1b[0m\r\n"), std::string::npos);
  EXPECT_NE(after.find("for playing\x1b[0m\r\n"), std::string::npos);
  EXPECT_EQ(after.find("not shown"), std::string::npos);
}

// Runs `child` in a forked process on the pty's slave side and returns its
// wait status. No reader thread: the child writes little.
int RunChild(Pty& pty, void (*child)(int fd)) {
  const pid_t pid = fork();
  if (pid == 0) {
    child(pty.slave());
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

TEST(TerminalDisplay, CrashSignalRestoresThenDies) {
  Pty pty(false);
  const int status = RunChild(pty, [](int fd) {
    std::string error;
    auto display = TerminalDisplay::Open(fd, fd, &error);
    if (!display) _exit(2);
    raise(SIGABRT);
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGABRT);
  EXPECT_TRUE(SameModes(ModesOf(pty.slave()), pty.original()));
  EXPECT_NE(pty.ReadAvailable().find("\x1b[?1049l"), std::string::npos);
}

TEST(TerminalDisplay, SecondSigtermEndsAProgramThatIsNotListening) {
  Pty pty(false);
  const int status = RunChild(pty, [](int fd) {
    std::string error;
    auto display = TerminalDisplay::Open(fd, fd, &error);
    if (!display) _exit(2);
    raise(SIGTERM);
    raise(SIGTERM);
    _exit(3);
  });
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_TRUE(SameModes(ModesOf(pty.slave()), pty.original()));
}

TEST(TerminalDisplay, StopRestoresAndContinueReentersRawMode) {
  Pty pty(false);
  const pid_t pid = fork();
  if (pid == 0) {
    // A group of its own: the kernel ignores stop signals sent to a process in an
    // orphaned process group, which the test's own group may be under a CI runner.
    setpgid(0, 0);
    std::string error;
    auto display = TerminalDisplay::Open(pty.slave(), pty.slave(), &error);
    if (!display) _exit(2);
    KeyEvent e;
    try {
      for (;;) display->ReadKeyEvent(&e, -1);
    } catch (const TerminationRequest&) {
      display->Shutdown();
      _exit(7);
    }
  }
  setpgid(pid, pid);
  // Never hang the suite: a child that does not stop or end in time is killed.
  auto boundedWait = [pid](int* status, int options) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    for (;;) {
      const pid_t got = waitpid(pid, status, options | WNOHANG);
      if (got != 0) return got;
      if (Clock::now() > deadline) {
        kill(pid, SIGKILL);
        return waitpid(pid, status, 0) == pid ? pid_t{-2} : pid_t{-1};
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  };
  auto waitFor = [&](auto condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!condition() && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
  };
  auto isRaw = [&] { return (ModesOf(pty.slave()).c_lflag & ICANON) == 0; };
  ASSERT_TRUE(waitFor(isRaw));
  kill(pid, SIGTSTP);
  int status = 0;
  ASSERT_EQ(boundedWait(&status, WUNTRACED), pid);
  EXPECT_TRUE(WIFSTOPPED(status));
  EXPECT_TRUE(SameModes(ModesOf(pty.slave()), pty.original()));
  kill(pid, SIGCONT);
  EXPECT_TRUE(waitFor(isRaw));
  pty.ReadAvailable();
  kill(pid, SIGTERM);
  ASSERT_EQ(boundedWait(&status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 7);
  EXPECT_TRUE(SameModes(ModesOf(pty.slave()), pty.original()));
}

}  // namespace
}  // namespace torvex
