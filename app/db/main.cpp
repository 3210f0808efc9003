// storeadjust-db: makes an embedded database for the transfer-bill module, or checks one.
//   storeadjust-db empty PATH             every table, no rows
//   storeadjust-db demo PATH              the demo warehouses, goods, stock, operators and bills
//   storeadjust-db check-templates PATH   the stored statements the translator refuses
// An existing non-empty file is never overwritten. Prints the connection string on success.
// check-templates prints one line per refused statement and a count; its status is 0 when the
// translator takes every statement, 1 when it refuses one or the database cannot be read.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "adodb/Connection.h"
#include "adodb/Error.h"
#include "db/DatabaseFactory.h"
#include "host/TemplateCheck.h"

namespace {

int Usage() {
  std::cerr << "usage: storeadjust-db empty PATH\n       storeadjust-db demo PATH\n"
               "       storeadjust-db check-templates PATH\n";
  return 2;
}

int CheckTemplates(const std::string& path) {
  // Opening a missing file would create an empty database and report nothing to check.
  if (!std::filesystem::exists(path)) throw adodb::Error::Provider("no database file " + path);
  auto conn = std::make_shared<adodb::Connection>();
  conn->Open(storeadjust::db::EmbeddedConnectionString(path));
  const storeadjust::TemplateCheck check = storeadjust::CheckTemplates(storeadjust::ReadStoredTemplates(*conn));
  for (const storeadjust::TemplateRefusal& refusal : check.refused)
    std::cout << refusal.origin << ": " << refusal.reason << "\n";
  std::cout << check.checked << " stored statements checked, " << check.refused.size() << " refused.\n";
  return check.refused.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string kind = argv[1];
  const std::string path = argv[2];
  try {
    if (kind == "check-templates") return CheckTemplates(path);
    if (kind == "empty") {
      storeadjust::db::CreateEmptyDatabase(path);
    } else if (kind == "demo") {
      storeadjust::db::CreateDemoDatabase(path);
    } else {
      return Usage();
    }
  } catch (const adodb::Error& error) {
    std::cerr << "storeadjust-db: " << error.Description() << "\n";
    return 1;
  }
  std::cout << storeadjust::db::EmbeddedConnectionString(path) << "\n";
  return 0;
}
