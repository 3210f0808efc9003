// storeadjust-play FILE.scn | -  : runs one scenario and prints its transcript.
#include <iostream>
#include <string>

#include "player/Player.h"

namespace {

const char* const kUsage =
    "usage: storeadjust-play FILE.scn   runs the scenario and prints its transcript\n"
    "       storeadjust-play -          the same, reading the scenario from standard input\n"
    "Exit status 0 when every check held and no error occurred, 1 otherwise, 2 for a wrong command line.\n"
    "The transcript's last line counts the checks that held and failed.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::string argument = argc == 2 ? argv[1] : "";
  if (argument == "--help" || argument == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (argc != 2) {
    std::cerr << kUsage;
    return 2;
  }
  return storeadjust::player::PlayScenario(argument, std::cout);
}
