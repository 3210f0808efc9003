#include "player/ScenarioDatabase.h"

#include <cstdlib>
#include <system_error>

#include "adodb/Error.h"
#include "db/DatabaseFactory.h"
#include "host/ScriptedUserInterface.h"

namespace storeadjust::player {

namespace fs = std::filesystem;

ScenarioDatabase::~ScenarioDatabase() {
  if (tempDirectory_.empty()) return;
  std::error_code ignored;
  fs::remove_all(tempDirectory_, ignored);
}

fs::path ScenarioDatabase::NewPrivateFile(const std::string& kind) {
  if (tempDirectory_.empty()) {
    std::string pattern = (fs::temp_directory_path() / "storeadjust-play-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw adodb::Error::Provider("cannot create a temporary folder for the database");
    tempDirectory_ = pattern;
  }
  return tempDirectory_ / (kind + std::to_string(++made_) + ".db");
}

std::string ScenarioDatabase::Prepare(const std::string& what) {
  fs::path path;
  if (what == "demo") {
    path = NewPrivateFile("demo");
    db::CreateDemoDatabase(path.string());
  } else if (what == "empty") {
    path = NewPrivateFile("empty");
    db::CreateEmptyDatabase(path.string());
  } else {
    path = fs::path(what).is_absolute() ? fs::path(what) : baseDirectory_ / what;
    if (!fs::is_regular_file(path)) throw ScriptError("database " + what + ": no such file");
  }
  return db::EmbeddedConnectionString(path.string());
}

}  // namespace storeadjust::player
