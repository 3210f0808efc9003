#include "host/HiddenTerminalInput.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "host/OperatorPassword.h"

namespace storeadjust {

namespace {

class EchoOff {
 public:
  EchoOff() : active_(tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!active_) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (active_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool active_;
};

}  // namespace

bool StandardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

// The echo goes off before the prompt shows: what is typed as soon as it shows is neither echoed
// nor flushed away as typed ahead.
std::string ReadHiddenLine(const std::string& prompt) {
  std::string line;
  {
    EchoOff echoOff;
    std::cerr << prompt << std::flush;
    line = PasswordFromInput(std::cin).value_or("");
  }
  std::cerr << "\n";
  return line;
}

}  // namespace storeadjust
