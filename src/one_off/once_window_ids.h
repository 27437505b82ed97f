// Control identifiers of the one-off action window, shared by its view and the end-to-end
// tests.
#pragma once

namespace halcyra::once_ids {

// IDOK and IDCANCEL: Enter is OK and Escape is Cancel, as in the timer editor.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kHelp = 5001;
inline constexpr int kCboEvent = 5002;
inline constexpr int kRbnIn = 5003;
inline constexpr int kEdtIn = 5004;
inline constexpr int kRbnAt = 5005;
inline constexpr int kEdtAt = 5006;
inline constexpr int kRbnExit = 5007;
inline constexpr int kCboProgram = 5008;
inline constexpr int kRbnIdle = 5009;
inline constexpr int kEdtIdle = 5010;
inline constexpr int kRbnQuiet = 5011;
inline constexpr int kEdtQuiet = 5012;
inline constexpr int kEdtCpu = 5013;
inline constexpr int kEdtNet = 5014;
inline constexpr int kChkLatest = 5015;
inline constexpr int kEdtLatest = 5016;
inline constexpr int kLblPending = 5017;
inline constexpr int kBtnCancelPending = 5018;
inline constexpr int kLblEvent = 5019;
inline constexpr int kFirstPlainLabel = 5020;  // the unit labels follow

}  // namespace halcyra::once_ids
