#include "setup/setup_data.h"

#include <vector>

namespace halcyra {
namespace {

constexpr char kHex[] = "0123456789abcdef";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> BytesOfHex(const std::string& text) {
  if (text.size() % 2 != 0 || text.size() / 2 > kMaxPreparedSettingsBytes) return std::nullopt;
  std::string bytes(text.size() / 2, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = HexDigit(text[2 * i]), low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes[i] = static_cast<char>(high * 16 + low);
  }
  return bytes;
}

}  // namespace

std::string SetupData::Encode() const {
  std::string text = std::string(overwrite ? "1" : "") + "|" +
                     (shared == SharedSettings::ReadOnly ? "ReadOnly" : "Writable") + "|" + source +
                     "|";
  if (settings) {
    text.reserve(text.size() + settings->size() * 2);
    for (const unsigned char byte : *settings) {
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  return text;
}

std::optional<SetupData> SetupData::Decode(const std::string& text) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (int field = 0; field < 3; ++field) {
    const std::size_t bar = text.find('|', start);
    if (bar == std::string::npos) return std::nullopt;
    fields.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  SetupData data;
  data.overwrite = fields[0] == "1";
  const auto shared = SharedSettingsOf(fields[1]);
  if (!shared) return std::nullopt;
  data.shared = *shared;
  data.source = fields[2];
  if (!data.source.empty()) {
    data.settings = BytesOfHex(text.substr(start));
    if (!data.settings) return std::nullopt;
  }
  return data;
}

}  // namespace halcyra
