// Stands in for libFuzzer where there is none (the normal g++ build): runs every seed file of the
// given folders, or the given files, once through the target, so each build proves that the targets
// still compile and that no committed seed, regression seeds included, crashes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

std::vector<std::filesystem::path> seedsIn(const std::vector<std::string> &arguments) {
  std::vector<std::filesystem::path> seeds;
  for (const auto &argument : arguments) {
    if (std::filesystem::is_directory(argument)) {
      for (const auto &entry : std::filesystem::directory_iterator(argument)) {
        if (entry.is_regular_file()) seeds.push_back(entry.path());
      }
    } else {
      seeds.emplace_back(argument);
    }
  }
  std::sort(seeds.begin(), seeds.end());
  return seeds;
}

}  // namespace

int main(int argc, char **argv) {
  const auto seeds = seedsIn(std::vector<std::string>(argv + 1, argv + argc));
  // A target without seeds would pass without having run once.
  if (seeds.empty()) {
    std::cerr << "no seeds given\n";
    return 2;
  }
  for (const auto &seed : seeds) {
    std::ifstream in(seed, std::ios::binary);
    if (!in) {
      std::cerr << "cannot read " << seed << "\n";
      return 2;
    }
    std::ostringstream read;
    read << in.rdbuf();
    const std::string bytes = read.str();
    std::cout << seed.filename().string() << " (" << bytes.size() << " bytes)" << std::endl;
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
  }
  std::cout << seeds.size() << " seeds replayed\n";
  return 0;
}
