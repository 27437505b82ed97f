// Modal message boxes. The logic states text, caption and style; a test reads them back.
#pragma once

#include <string>

namespace halcyra {

namespace mb {
inline constexpr unsigned kOk = 0x0;
inline constexpr unsigned kYesNo = 0x4;
inline constexpr unsigned kIconError = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace mb

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Returns the id of the button that closed the box.
  virtual int Show(const std::string& text, const std::string& caption, unsigned style) = 0;
};

}  // namespace halcyra
