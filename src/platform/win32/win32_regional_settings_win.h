#pragma once

#include "platform/regional_settings.h"

namespace halcyra {

// The user's locale settings, read at every call.
class Win32RegionalSettings final : public RegionalSettings {
 public:
  RegionalFormat Current() const override;
};

}  // namespace halcyra
