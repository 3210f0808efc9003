#pragma once
// The user's answers to a state change's questions, set by the test: Yes or No to the opening
// question and to a shortage, and a failure thrown when a given line is reached (what a lost
// connection halfway through a bill looks like to the engine). With `watched` set, a question
// asked while that connection is inside a transaction is counted: the engine must ask first,
// then act. `whileAsked` runs while the opening question is open (another clerk's work), and
// `whileShortageAsked` while a shortage's is.
#include <functional>
#include <stdexcept>
#include <string>

#include "adodb/Connection.h"
#include "states/StateChange.h"

namespace testsupport {

struct StateAnswers final : storeadjust::StateQuestions {
  bool confirm = true;
  bool acceptShortage = true;
  long failAtLine = 0;  // 0: never
  int shortagesAsked = 0;
  std::string lastShortage;
  adodb::Connection* watched = nullptr;
  int askedInTransaction = 0;
  std::function<void()> whileAsked;
  std::function<void()> whileShortageAsked;

  bool ConfirmChange(const std::string&) override {
    NoteTransaction();
    if (whileAsked) whileAsked();
    return confirm;
  }
  bool AcceptShortage(const std::string& text) override {
    NoteTransaction();
    ++shortagesAsked;
    lastShortage = text;
    if (whileShortageAsked) whileShortageAsked();
    return acceptShortage;
  }
  void LineReached(long line, long, const std::string&) override {
    if (line == failAtLine) throw std::runtime_error("connection lost at line " + std::to_string(line));
  }

 private:
  void NoteTransaction() {
    if (watched && watched->InTransaction()) ++askedInTransaction;
  }
};

}  // namespace testsupport
