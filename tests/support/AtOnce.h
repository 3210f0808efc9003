#pragma once
// Runs body(i) for i = 0 .. count-1, each in a child process of its own, all released at the same
// moment (the pipe they wait on is closed); answers each child's exit status, -1 when it did not
// exit normally. What two clerks pressing a button together look like to the database.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <vector>

namespace testsupport {

inline std::vector<int> AtOnce(int count, const std::function<int(int)>& body) {
  int go[2];
  if (pipe(go) != 0) return std::vector<int>(count, -1);
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    children.push_back(fork());
    if (children.back() == 0) {
      close(go[1]);
      char byte;
      _exit(read(go[0], &byte, 1) == 0 ? body(i) : 99);  // 0: the parent closed the pipe
    }
  }
  close(go[0]);
  close(go[1]);
  std::vector<int> exits;
  for (const pid_t child : children) {
    int status = 0;
    exits.push_back(child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  return exits;
}

}  // namespace testsupport
