// The companion service's check before it opens a shared file: the data folder is written by
// every user, so a file there may have been replaced by a link to somewhere the service, with
// its higher rights, must not read or write.
#pragma once

#include <string>

#include "platform/service_host.h"

namespace halcyra {

// Empty when the service may open `path`, a file of the data folder `folder`: a plain file with
// one link that resolves to that very path, or, when it does not exist, a plain folder that
// resolves to itself (so that creating the file creates it there). Otherwise the reason.
// Why the object that `facts` describe is not the plain file (or, with `folder`, the plain
// folder) at `path` with one link; empty when it is.
std::string WhyNotPlain(const FileFacts& facts, const std::string& path, bool folder);

std::string RefusalToOpen(const FileInspector& inspector, const std::string& folder,
                          const std::string& path);

}  // namespace halcyra
