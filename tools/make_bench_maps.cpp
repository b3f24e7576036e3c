// make_bench_maps FOLDER [NAME...]: writes the benchmark maps (all of them, or the named ones)
// into FOLDER and prints, one line each, the name and the path of the file to convert.
#include <iostream>
#include <string>
#include <vector>

#include "mapmaker/bench_maps.hpp"

int main(int argc, char** argv) {
  using namespace kartwerk;
  if (argc < 2) {
    std::cerr << "usage: make_bench_maps FOLDER [NAME...]\nmaps:";
    for (const mapmaker::BenchMapPreset& preset : mapmaker::BenchMapPresets()) std::cerr << " " << preset.name;
    std::cerr << "\n";
    return 2;
  }
  try {
    std::vector<mapmaker::BenchMapPreset> chosen;
    if (argc == 2) chosen = mapmaker::BenchMapPresets();
    for (int i = 2; i < argc; ++i) chosen.push_back(mapmaker::FindBenchMapPreset(argv[i]));
    for (const mapmaker::BenchMapPreset& preset : chosen) {
      std::cout << preset.name << "\t" << mapmaker::WriteBenchMap(argv[1], preset).string() << "\n";
    }
  } catch (const std::exception& e) {
    std::cerr << "make_bench_maps: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
