#pragma once
// The databases of the `database` command. `demo` and `empty` are fresh private files in a
// temporary folder of this scenario, removed when the scenario ends, so a scenario never sees
// what another one changed; any other word is the path of an existing embedded database file,
// used in place (a relative path is taken from the scenario file's folder).
#include <filesystem>
#include <string>

namespace storeadjust::player {

class ScenarioDatabase {
 public:
  explicit ScenarioDatabase(std::filesystem::path baseDirectory) : baseDirectory_(std::move(baseDirectory)) {}
  ~ScenarioDatabase();
  ScenarioDatabase(const ScenarioDatabase&) = delete;
  ScenarioDatabase& operator=(const ScenarioDatabase&) = delete;

  // Makes or finds the database and gives its connection string. Throws adodb::Error when the
  // database cannot be made, ScriptError when PATH names no file.
  std::string Prepare(const std::string& what);

 private:
  std::filesystem::path NewPrivateFile(const std::string& kind);

  std::filesystem::path baseDirectory_;
  std::filesystem::path tempDirectory_;
  int made_ = 0;
};

}  // namespace storeadjust::player
