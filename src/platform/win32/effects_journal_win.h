// The journal of the end-to-end builds: one line per call that would have acted on the
// machine, appended to Effects.txt in the data folder, so tests see what a program would have
// done; the program's own life with Windows (its restart registration, the session's end) goes
// to Lifecycle.txt, so that every start does not add to what tests compare. Nothing here acts;
// a journal that cannot be written is no reason to report a failure.
#pragma once

#include <cstdio>
#include <string>

#include "core/text.h"
#include "platform/win32/utf8_win.h"

namespace halcyra {

class EffectsJournal {
 public:
  explicit EffectsJournal(const std::string& dataFolder, const char* file = "Effects.txt")
      : path_(JoinPath(dataFolder, file)) {}
  // Appends the line and says the call succeeded, as the real one would have.
  bool Record(const std::string& line) const {
    if (std::FILE* file = _wfopen(Wide(path_).c_str(), L"ab")) {
      std::fputs((line + "\r\n").c_str(), file);
      std::fclose(file);
    }
    return true;
  }

 private:
  std::string path_;
};

}  // namespace halcyra
