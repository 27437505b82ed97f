#include "platform/win32/win32_regional_settings_win.h"

#include <windows.h>

namespace halcyra {
namespace {

void ReadLocale(LCTYPE type, std::string& target) {
  char buffer[80];
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer) > 0) target = buffer;
}

}  // namespace

RegionalFormat Win32RegionalSettings::Current() const {
  RegionalFormat format;
  ReadLocale(LOCALE_SSHORTDATE, format.shortDate);
  ReadLocale(LOCALE_STIMEFORMAT, format.longTime);
  ReadLocale(LOCALE_STIME, format.timeSeparator);
  ReadLocale(LOCALE_S1159, format.am);
  ReadLocale(LOCALE_S2359, format.pm);
  return format;
}

}  // namespace halcyra
