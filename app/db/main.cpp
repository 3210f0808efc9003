// storeadjust-db: makes an embedded database for the transfer-bill module.
//   storeadjust-db empty PATH   every table, no rows
//   storeadjust-db demo PATH    the demo warehouses, goods, stock, operators and bills
// An existing non-empty file is never overwritten. Prints the connection string on success.
#include <iostream>
#include <string>

#include "adodb/Error.h"
#include "db/DatabaseFactory.h"

namespace {

int Usage() {
  std::cerr << "usage: storeadjust-db empty PATH\n       storeadjust-db demo PATH\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  const std::string kind = argv[1];
  const std::string path = argv[2];
  try {
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
