// Sleep support through the power-management functions and the thread's execution state.
#pragma once

#include "platform/sleep_support.h"

namespace halcyra {

class Win32SleepSupport final : public SleepSupport {
 public:
  bool SuspendAllowed() const override;
  bool HibernateAllowed() const override;
  void KeepAwake(bool on) override;
};

}  // namespace halcyra
