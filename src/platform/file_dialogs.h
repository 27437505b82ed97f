// The open-file dialog.
#pragma once

#include <optional>
#include <string>

namespace halcyra {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen file's full path; nullopt when the user cancels. The filter is written
  // "description|pattern".
  virtual std::optional<std::string> OpenFile(const std::string& title,
                                              const std::string& filter) = 0;
};

}  // namespace halcyra
