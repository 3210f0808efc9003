#pragma once
// The demo database built once per test program, and a builder for TempDatabase that copies it:
// the same file building it again would write, for a fraction of the cost (under the sanitizers
// a build is most of a short case). Nothing ever opens the pristine file, so it stays as built.
#include <filesystem>
#include <string>

#include "db/DatabaseFactory.h"
#include "support/TempDatabase.h"

namespace testsupport {

inline const std::string& PristineDemo() {
  static const TempDatabase demo{storeadjust::db::CreateDemoDatabase};
  return demo.Path();
}

inline void DemoCopy(const std::string& path) { std::filesystem::copy_file(PristineDemo(), path); }

}  // namespace testsupport
