#pragma once
// The user's answers to a state change's questions, set by the test: Yes or No to the opening
// question and to a shortage, and a failure thrown when a given line is reached (what a lost
// connection halfway through a bill looks like to the engine).
#include <stdexcept>
#include <string>

#include "states/StateChange.h"

namespace testsupport {

struct StateAnswers final : storeadjust::StateQuestions {
  bool confirm = true;
  bool acceptShortage = true;
  long failAtLine = 0;  // 0: never
  int shortagesAsked = 0;

  bool ConfirmChange(const std::string&) override { return confirm; }
  bool AcceptShortage(const std::string&) override {
    ++shortagesAsked;
    return acceptShortage;
  }
  void LineReached(long line, long, const std::string&) override {
    if (line == failAtLine) throw std::runtime_error("connection lost at line " + std::to_string(line));
  }
};

}  // namespace testsupport
