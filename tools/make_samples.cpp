// make_samples FOLDER: writes the bundled sample maps (a single-player map, a multiplayer
// map and a two-mission campaign) and prints the path of each map to open.
#include <iostream>

#include "mapmaker/sample_maps.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_samples FOLDER\n";
    return 2;
  }
  try {
    for (const auto& path : kartwerk::mapmaker::WriteSampleMaps(argv[1])) std::cout << path.string() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "make_samples: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
