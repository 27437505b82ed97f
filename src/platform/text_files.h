// The few file operations of the event log.
#pragma once

#include <string>

namespace halcyra {

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  virtual bool Exists(const std::string& path) const = 0;
  // Creates an empty file (or empties one); the result is the caller's to ignore.
  virtual bool CreateEmpty(const std::string& path) = 0;
  // Appends the text; false when the file cannot be opened or written.
  virtual bool Append(const std::string& path, const std::string& text) = 0;
  // Opens the file for rewriting, which leaves it empty; 0 or the system's error code.
  virtual int Rewrite(const std::string& path) = 0;
};

}  // namespace halcyra
