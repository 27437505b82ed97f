#include "support/temp_folder.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>

namespace halcyra::test {

TempFolder::TempFolder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("halcyra-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::File(const std::string& name) const { return (path_ / name).string(); }

std::string TempFolder::ReadFile(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

void TempFolder::WriteFile(const std::string& name, const std::string& content) const {
  std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
  out << content;
}

}  // namespace halcyra::test
