// storeadjust-play FILE.scn | -  : runs one scenario and prints its transcript.
#include <iostream>
#include <string>

#include "player/Player.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: storeadjust-play FILE.scn   (or - to read standard input)\n";
    return 2;
  }
  return storeadjust::player::PlayScenario(argv[1], std::cout);
}
