// Where the user's regional conventions come from: asked afresh at every use.
#pragma once

#include "core/regional_format.h"

namespace halcyra {

class RegionalSettings {
 public:
  virtual ~RegionalSettings() = default;
  virtual RegionalFormat Current() const = 0;
};

}  // namespace halcyra
