#include "platform/forms/error.h"

namespace orvanel::forms {

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    return message + ".";
  }
  return message;
}

namespace {
std::string Substitute(const std::string& pattern, const char* marker, const std::string& value) {
  const auto at = pattern.find(marker);
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + value + pattern.substr(at + 2);
}
}  // namespace

std::string FormatMessage(const std::string& pattern, const std::string& value) {
  return Substitute(pattern, "%s", value);
}

std::string FormatMessage(const std::string& pattern, long long value) {
  return Substitute(pattern, "%d", std::to_string(value));
}

}  // namespace orvanel::forms
