// Control identifiers of the countdown window, shared by its view and the end-to-end tests.
#pragma once

namespace halcyra::countdown_ids {

inline constexpr int kLblNotify = 3001;
inline constexpr int kBtnAbort = 3002;

}  // namespace halcyra::countdown_ids
