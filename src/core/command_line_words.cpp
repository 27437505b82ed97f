#include "core/command_line_words.h"

namespace halcyra {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> parts;
  std::string current;
  bool quoted = false, any = false;
  for (const char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) parts.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) parts.push_back(current);
  // The first part is the program itself.
  if (!parts.empty()) parts.erase(parts.begin());
  return parts;
}

}  // namespace halcyra
