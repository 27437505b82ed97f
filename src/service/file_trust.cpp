#include "service/file_trust.h"

#include "core/text.h"

namespace halcyra {
namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

std::string WhyNotPlain(const FileFacts& facts, const std::string& path, bool folder) {
  if (facts.found == FileFacts::Found::Unknown) return Quoted(path) + " could not be examined";
  if (facts.reparsePoint) return Quoted(path) + " is a link";
  if (facts.directory != folder)
    return Quoted(path) + (folder ? " is not a folder" : " is a folder");
  if (!EqualsIgnoreCase(facts.finalPath, path))
    return Quoted(path) + " leads to " + Quoted(facts.finalPath);
  if (!folder && facts.links != 1)
    return Quoted(path) + " has " + std::to_string(facts.links) + " links";
  return "";
}

std::string RefusalToOpen(const FileInspector& inspector, const std::string& folder,
                          const std::string& path) {
  const FileFacts file = inspector.Inspect(path);
  if (file.found != FileFacts::Found::No) return WhyNotPlain(file, path, false);
  const FileFacts parent = inspector.Inspect(folder);
  if (parent.found == FileFacts::Found::No) return Quoted(folder) + " does not exist";
  return WhyNotPlain(parent, folder, true);
}

}  // namespace halcyra
