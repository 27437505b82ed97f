// Control identifiers of the wizard's own controls, shared by its view and the end-to-end
// tests; the settings pages keep the main window's ids.
#pragma once

namespace halcyra::wizard_ids {

inline constexpr int kBtnNext = 6001;
inline constexpr int kBtnBack = 6002;
inline constexpr int kBtnCancel = 6003;
inline constexpr int kLabel15 = 6004;
inline constexpr int kLvwTimer = 6005;
inline constexpr int kBtnAdd = 6006;
inline constexpr int kBtnEdit = 6007;
inline constexpr int kBtnDelete = 6008;
inline constexpr int kLabel8 = 6009;
inline constexpr int kLblManagedTimers = 6010;

}  // namespace halcyra::wizard_ids
