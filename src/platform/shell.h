// The shell's open action on a file or an address.
#pragma once

#include <string>

namespace halcyra {

class Shell {
 public:
  virtual ~Shell() = default;
  // verb empty: the default action. The result is not examined by any caller.
  virtual void Execute(const std::string& verb, const std::string& file,
                       const std::string& directory, int show) = 0;
  // A page of a compiled help file ("help.chm", "oneoff.html") in the help viewer.
  virtual void OpenHelpPage(const std::string& helpFile, const std::string& page) = 0;
};

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

}  // namespace halcyra
