// Control identifiers of the password prompt, shared by its view and the end-to-end tests.
#pragma once

namespace halcyra::password_ids {

inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kEdtPwd = 5001;
inline constexpr int kLabel1 = 5002;

}  // namespace halcyra::password_ids
