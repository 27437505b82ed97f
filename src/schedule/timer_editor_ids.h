// Control identifiers of the timer editor, shared by its view and the end-to-end tests.
#pragma once

namespace halcyra::timer_ids {

inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kEdtTitle = 2001;
inline constexpr int kChkEnabled = 2002;
inline constexpr int kCboShutEvent = 2003;
inline constexpr int kSpinHour = 2004;
inline constexpr int kSpinMinute = 2005;
inline constexpr int kRbnOnce = 2006;
inline constexpr int kRbnDaily = 2007;
inline constexpr int kRbnWeekday = 2008;
inline constexpr int kRbnWeekly = 2009;
inline constexpr int kCboWeekday = 2010;
inline constexpr int kLabel1 = 2011;
inline constexpr int kLabel2 = 2012;
inline constexpr int kLblTime = 2013;
inline constexpr int kLabel3 = 2014;

}  // namespace halcyra::timer_ids
