#include "platform/tty.h"

#include <langinfo.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>

namespace torvex {

bool HaveTerminal() {
  return isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
}

bool TerminalSize(int* columns, int* rows) {
  winsize ws{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) {
    return false;
  }
  *columns = ws.ws_col;
  *rows = ws.ws_row;
  return true;
}

bool StartedInOwnWindow() {
  return HaveTerminal() && getsid(0) == getpid();
}

void WaitForKeyOnTerminal() {
  if (!isatty(STDIN_FILENO)) return;
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char buf[64];
  ssize_t n;
  do {
    n = read(STDIN_FILENO, buf, sizeof buf);
  } while (n < 0 && errno == EINTR);
  // Swallow the rest of a multi-byte key (an escape sequence) so it does not
  // reach the shell afterwards.
  pollfd pfd{STDIN_FILENO, POLLIN, 0};
  while (poll(&pfd, 1, 30) > 0 && read(STDIN_FILENO, buf, sizeof buf) > 0) {
  }
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

bool LocaleIsUtf8() {
  const char* codeset = nl_langinfo(CODESET);
  return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

}  // namespace torvex
