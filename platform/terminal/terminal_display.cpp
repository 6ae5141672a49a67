#include "platform/terminal/terminal_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/terminal/cp437.h"

namespace torvex {
namespace {

// Title stack push, alternate screen, kitty "disambiguate" pushed on the
// alternate screen's own stack, modifyOtherKeys 1, bracketed paste.
constexpr char kEnter[] = "\x1b[22;0t\x1b[?1049h\x1b[>1u\x1b[>4;1m\x1b[?2004h";
// The reverse, in reverse order, plus colours, cursor shape and visibility.
constexpr char kLeave[] = "\x1b[<u\x1b[>4m\x1b[?2004l\x1b[0m\x1b[0 q\x1b[?25h\x1b[?1049l\x1b[23;0t";

constexpr int kTerminateSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,
                                 SIGABRT, SIGQUIT, SIGTRAP, SIGSYS};
constexpr int kOtherSignals[] = {SIGWINCH, SIGCONT, SIGTSTP};

// What the signal handlers need. Everything but the flags is set before the
// handlers are installed and left alone until they are removed.
struct SharedState {
  int inFd = -1, outFd = -1;
  termios saved{}, raw{};
  volatile int pipeWrite = -1;
  int pipeRead = -1;
  volatile sig_atomic_t open = 0;       // a display owns the terminal
  volatile sig_atomic_t restored = 1;   // the terminal is as it was found
  volatile sig_atomic_t suspended = 0;  // restored for SIGTSTP; SIGCONT re-enters
  volatile sig_atomic_t terminate = 0;  // the termination signal, 0 for none
  volatile sig_atomic_t resized = 0;
  volatile sig_atomic_t resumed = 0;
  struct sigaction previous[NSIG];
};
SharedState g;

void WriteAllRaw(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void Notify() {
  const int fd = g.pipeWrite;
  if (fd < 0) return;
  const char c = 0;
  // A full pipe already holds a wake-up; nothing is lost.
  if (write(fd, &c, 1) < 0) return;
}

// Async-signal-safe.
void RestoreNow() {
  if (!g.open || g.restored) return;
  const int savedErrno = errno;
  g.restored = 1;
  WriteAllRaw(g.outFd, kLeave, sizeof kLeave - 1);
  tcsetattr(g.inFd, TCSANOW, &g.saved);
  errno = savedErrno;
}

// Async-signal-safe.
void EnterNow() {
  const int savedErrno = errno;
  g.restored = 0;
  tcsetattr(g.inFd, TCSANOW, &g.raw);
  WriteAllRaw(g.outFd, kEnter, sizeof kEnter - 1);
  errno = savedErrno;
}

void SetAction(int sig, void (*handler)(int)) {
  struct sigaction sa {};
  sa.sa_handler = handler;
  sigemptyset(&sa.sa_mask);
  // Restarting keeps interrupted reads and writes elsewhere in the program from
  // failing with EINTR; the key wait learns of the signal through the pipe.
  sa.sa_flags = SA_RESTART;
  sigaction(sig, &sa, nullptr);
}

void OnTerminate(int sig) {
  if (g.terminate != 0) {
    // Asked twice: the program is not getting to its key wait. End now.
    RestoreNow();
    SetAction(sig, SIG_DFL);
    raise(sig);  // delivered when the handler returns
    return;
  }
  g.terminate = sig;
  Notify();
}

void OnResize(int) {
  g.resized = 1;
  Notify();
}

void OnContinue(int) {
  if (g.open) {
    if (g.suspended) {
      g.suspended = 0;
      EnterNow();
    } else if (!g.restored) {
      // Stopped by SIGSTOP: the shell may have reset the modes meanwhile.
      const int savedErrno = errno;
      tcsetattr(g.inFd, TCSANOW, &g.raw);
      errno = savedErrno;
    }
  }
  g.resumed = 1;
  Notify();
}

void OnStop(int) {
  const int savedErrno = errno;
  if (g.open && !g.restored) {
    RestoreNow();
    g.suspended = 1;
  }
  // Stop with the default action, here; OnContinue runs before we go on.
  SetAction(SIGTSTP, SIG_DFL);
  sigset_t stop, previous;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  raise(SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, &previous);
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  SetAction(SIGTSTP, OnStop);
  errno = savedErrno;
}

void OnCrash(int sig, siginfo_t* info, void*) {
  RestoreNow();
  // Hand the signal to whatever handled it before us (the default action, or a
  // sanitizer's report). A fault re-occurs when the handler returns; a signal
  // sent by kill or raise has to be sent again.
  sigaction(sig, &g.previous[sig], nullptr);
  if (info == nullptr || info->si_code <= 0) raise(sig);
}

void InstallHandlers() {
  for (int sig : kTerminateSignals) {
    struct sigaction sa {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, &g.previous[sig]);
  }
  for (int sig : kCrashSignals) {
    struct sigaction sa {};
    sa.sa_sigaction = OnCrash;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_SIGINFO;
    sigaction(sig, &sa, &g.previous[sig]);
  }
  void (*const other[])(int) = {OnResize, OnContinue, OnStop};
  for (size_t i = 0; i < std::size(kOtherSignals); ++i) {
    struct sigaction sa {};
    sa.sa_handler = other[i];
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(kOtherSignals[i], &sa, &g.previous[kOtherSignals[i]]);
  }
}

void RemoveHandlers() {
  for (int sig : kTerminateSignals) sigaction(sig, &g.previous[sig], nullptr);
  for (int sig : kCrashSignals) sigaction(sig, &g.previous[sig], nullptr);
  for (int sig : kOtherSignals) sigaction(sig, &g.previous[sig], nullptr);
}

}  // namespace

void EmergencyRestoreTerminal() {
  RestoreNow();
}

std::unique_ptr<TerminalDisplay> TerminalDisplay::Open(int inFd, int outFd, std::string* error) {
  if (g.open) {
    *error = "another terminal display is already open";
    return nullptr;
  }
  if (!isatty(inFd) || !isatty(outFd)) {
    *error = "standard input and output must be a terminal";
    return nullptr;
  }
  termios saved;
  if (tcgetattr(inFd, &saved) != 0) {
    *error = std::string("cannot read the terminal's modes: ") + std::strerror(errno);
    return nullptr;
  }
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    *error = std::string("cannot create a pipe: ") + std::strerror(errno);
    return nullptr;
  }
  g.inFd = inFd;
  g.outFd = outFd;
  g.saved = saved;
  g.raw = saved;
  cfmakeraw(&g.raw);
  g.raw.c_cc[VMIN] = 1;
  g.raw.c_cc[VTIME] = 0;
  g.pipeRead = fds[0];
  g.pipeWrite = fds[1];
  g.terminate = 0;
  g.resized = 0;
  g.resumed = 0;
  g.suspended = 0;
  // Marked as changed before it is, so that a crash in between restores too;
  // restoring an untouched terminal does no harm.
  g.restored = 0;
  g.open = 1;
  InstallHandlers();
  if (tcsetattr(inFd, TCSADRAIN, &g.raw) != 0) {
    *error = std::string("cannot set the terminal's modes: ") + std::strerror(errno);
    g.restored = 1;
    RemoveHandlers();
    g.open = 0;
    g.pipeWrite = -1;
    close(fds[0]);
    close(fds[1]);
    return nullptr;
  }
  std::unique_ptr<TerminalDisplay> display(new TerminalDisplay(inFd, outFd));
  display->Write(std::string_view(kEnter, sizeof kEnter - 1));
  display->ReadTerminalSize();
  return display;
}

TerminalDisplay::TerminalDisplay(int inFd, int outFd)
    : inFd_(inFd), outFd_(outFd), source_(*this), decoder_(source_) {}

TerminalDisplay::~TerminalDisplay() {
  Shutdown(nullptr);
}

void TerminalDisplay::Shutdown(const Frame* farewell) {
  if (shutDown_) return;
  shutDown_ = true;
  std::string out(kLeave, sizeof kLeave - 1);
  if (farewell != nullptr && farewell->cursorY > 0) {
    AppendFrameRows(*farewell, farewell->cursorY, Columns(), &out);
  }
  g.restored = 1;
  Write(out);
  tcsetattr(inFd_, TCSADRAIN, &g.saved);
  RemoveHandlers();
  const int pipeWrite = g.pipeWrite;
  g.pipeWrite = -1;
  close(pipeWrite);
  close(g.pipeRead);
  g.pipeRead = -1;
  g.open = 0;
}

bool TerminalDisplay::TerminationRequested() const {
  return g.terminate != 0;
}

void TerminalDisplay::Write(std::string_view bytes) {
  const char* data = bytes.data();
  size_t size = bytes.size();
  while (size > 0) {
    const ssize_t n = write(outFd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN) {
        pollfd p{outFd_, POLLOUT, 0};
        poll(&p, 1, 100);
        continue;
      }
      // The terminal is gone (EIO after a hang-up): end the run.
      if (!shutDown_ && g.terminate == 0) g.terminate = SIGHUP;
      return;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void TerminalDisplay::ReadTerminalSize() {
  winsize ws{};
  if (ioctl(outFd_, TIOCGWINSZ, &ws) == 0) {
    renderer_.SetTerminalSize(ws.ws_col, ws.ws_row);
  } else {
    renderer_.SetTerminalSize(0, 0);
  }
}

void TerminalDisplay::Repaint() {
  if (!havePresented_) return;
  lastFrame_.cells = lastCells_.data();
  out_.clear();
  renderer_.Render(lastFrame_, &out_);
  lastFrame_.cells = nullptr;
  Write(out_);
}

void TerminalDisplay::HandleNotifications() {
  if (shutDown_) return;
  char drain[64];
  while (read(g.pipeRead, drain, sizeof drain) > 0) {
  }
  if (g.resumed || g.resized) {
    g.resumed = 0;
    g.resized = 0;
    ReadTerminalSize();
    // Terminals reflow or clear the screen on a resize, and another program
    // may have drawn on it while we were stopped.
    renderer_.Invalidate();
    Repaint();
  }
}

void TerminalDisplay::Present(const Frame& frame) {
  if (shutDown_) return;
  lastCells_.assign(frame.cells, frame.cells + static_cast<size_t>(frame.width) * frame.height);
  lastFrame_ = frame;
  lastFrame_.cells = nullptr;
  havePresented_ = true;
  if (g.resumed || g.resized) {
    HandleNotifications();  // paints this frame in full
    return;
  }
  Repaint();
}

bool TerminalDisplay::ReadKeyEvent(KeyEvent* event, int timeoutMs) {
  if (shutDown_) return false;
  HandleNotifications();
  if (g.terminate != 0) throw TerminationRequest(g.terminate);
  if (decoder_.Next(event, timeoutMs)) return true;
  if (g.terminate != 0) throw TerminationRequest(g.terminate);
  return false;
}

int TerminalDisplay::TtyByteSource::Read(int timeoutMs) {
  if (pos_ < len_) return buf_[pos_++];
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  for (;;) {
    if (g.terminate != 0 || display_.shutDown_) return -1;
    int wait = -1;
    if (timeoutMs >= 0) {
      const auto spent =
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
      wait = static_cast<int>(spent >= timeoutMs ? 0 : timeoutMs - spent);
    }
    pollfd fds[2] = {{display_.inFd_, POLLIN, 0}, {g.pipeRead, POLLIN, 0}};
    const int ready = poll(fds, 2, wait);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (ready == 0) return -1;
    if (fds[1].revents != 0) {
      display_.HandleNotifications();
      continue;
    }
    if (fds[0].revents != 0) {
      const ssize_t n = read(display_.inFd_, buf_, sizeof buf_);
      if (n > 0) {
        pos_ = 1;
        len_ = static_cast<size_t>(n);
        return buf_[0];
      }
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      // End of input or a read error: nobody is at the terminal any more.
      g.terminate = SIGHUP;
      return -1;
    }
  }
}

void TerminalDisplay::SetTitle(std::string_view title) {
  std::string text;
  for (char c : title) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b != 0x7F) text += c;
  }
  Write("\x1b]2;" + Cp437ToUtf8(text) + "\x07");
}

void TerminalDisplay::Bell() {
  Write("\x07");
}

void TerminalDisplay::Maximize() {
  Write("\x1b[9;1t");
}

void TerminalDisplay::RequestSize(int columns, int rows) {
  if (columns <= 0 || rows <= 0) return;
  Write("\x1b[8;" + std::to_string(rows) + ";" + std::to_string(columns) + "t");
}

}  // namespace torvex
