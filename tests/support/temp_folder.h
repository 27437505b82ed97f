// A folder of its own for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace halcyra::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The path of a file in the folder, as the narrow text the program passes around.
  std::string File(const std::string& name) const;
  std::string ReadFile(const std::string& name) const;
  void WriteFile(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

}  // namespace halcyra::test
