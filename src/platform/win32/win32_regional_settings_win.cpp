#include "platform/win32/win32_regional_settings_win.h"

#include <windows.h>

#include "platform/win32/utf8_win.h"

namespace halcyra {
namespace {

void ReadLocale(LCTYPE type, std::string& target) {
  wchar_t buffer[80];
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, static_cast<int>(std::size(buffer))) > 0)
    target = Utf8(buffer);
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
