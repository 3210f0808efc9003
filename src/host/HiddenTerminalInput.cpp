#include "host/HiddenTerminalInput.h"

#include <signal.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstddef>
#include <iostream>
#include <iterator>

#include "host/OperatorPassword.h"

namespace storeadjust {

namespace {

// The terminal as it was before the echo went off, for a signal that ends the program while the
// line is typed: Ctrl+C at the prompt would otherwise leave the user's terminal without echo, and
// the shell's next commands typed blind.
termios gTerminalAsItWas{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction gHandlerBefore[std::size(kEndingSignals)];
bool gHandled[std::size(kEndingSignals)];

extern "C" void PutEchoBackAndEnd(int signal) {
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &gTerminalAsItWas);  // async-signal-safe
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    if (kEndingSignals[i] == signal) sigaction(signal, &gHandlerBefore[i], nullptr);
  }
  raise(signal);  // delivered once this handler returns, as the program would have had it
}

class EchoOff {
 public:
  EchoOff() : active_(tcgetattr(STDIN_FILENO, &gTerminalAsItWas) == 0) {
    if (!active_) return;
    // A signal the program ignores (SIGHUP under nohup) stays ignored.
    struct sigaction handler {};
    handler.sa_handler = PutEchoBackAndEnd;
    sigemptyset(&handler.sa_mask);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      gHandled[i] = sigaction(kEndingSignals[i], nullptr, &gHandlerBefore[i]) == 0 &&
                    gHandlerBefore[i].sa_handler != SIG_IGN &&
                    sigaction(kEndingSignals[i], &handler, nullptr) == 0;
    }
    termios quiet = gTerminalAsItWas;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (!active_) return;
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &gTerminalAsItWas);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      if (gHandled[i]) sigaction(kEndingSignals[i], &gHandlerBefore[i], nullptr);
    }
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
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

void KeepSecretsOutOfCoreDumps() { prctl(PR_SET_DUMPABLE, 0, 0, 0, 0); }

}  // namespace storeadjust
