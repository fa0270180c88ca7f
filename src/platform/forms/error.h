#pragma once
#include <stdexcept>
#include <string>

namespace orvanel::forms {

// A failure the saver reports to the user: its text is shown in the
// application's error box.
class SaverError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text of the error box: the message, with a "." appended when its last
// character sorts after ".".
std::string ErrorBoxText(const std::string& message);

// printf-style substitution of the one %s or %d of a message text.
std::string FormatMessage(const std::string& pattern, const std::string& value);
std::string FormatMessage(const std::string& pattern, long long value);

}  // namespace orvanel::forms
