#pragma once

#include "platform/text_files.h"

namespace halcyra {

// The event log's file operations through the C++ library.
class PortableTextFiles final : public TextFiles {
 public:
  bool Exists(const std::string& path) const override;
  bool CreateEmpty(const std::string& path) override;
  bool Append(const std::string& path, const std::string& text) override;
  int Rewrite(const std::string& path) override;
};

}  // namespace halcyra
