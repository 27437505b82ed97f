// File stamps from the standard library's file system view.
#pragma once

#include "platform/service_host.h"

namespace halcyra {

class PortableFileStamps final : public FileStamps {
 public:
  std::optional<FileStamp> Stamp(const std::string& path) const override;
};

}  // namespace halcyra
