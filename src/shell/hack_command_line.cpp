#include "shell/hack_command_line.h"

#include <charconv>

namespace orvanel::shell {

using platform::ScreenHost;

std::optional<std::uint32_t> ParseWindowId(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  return value;
}

namespace {

// Words of the Windows form joined as the host would write them; a word with
// a blank is quoted.
std::string JoinWords(const std::vector<std::string>& words) {
  std::string line;
  for (const auto& word : words) {
    if (!line.empty()) line += ' ';
    if (word.find(' ') != std::string::npos) {
      line += '"' + word + '"';
    } else {
      line += word;
    }
  }
  return line;
}

}  // namespace

HackArguments ParseHackArguments(const std::vector<std::string>& arguments,
                                 const std::optional<std::string>& environmentWindow) {
  HackArguments result;
  const std::string program = arguments.empty() ? std::string("orvanel") : arguments.front();
  std::vector<std::string> windowsForm{program};
  bool hosted = false;
  bool unusableWindow = false;
  std::optional<std::uint32_t> window;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const auto& word = arguments[i];
    if (word == "-root" || word == "--root") {
      hosted = true;
    } else if (word == "-window-id" || word == "--window-id") {
      hosted = true;
      window = i + 1 < arguments.size() ? ParseWindowId(arguments[++i]) : std::nullopt;
      unusableWindow = !window;
    } else if (word == "-window" || word == "--window") {
      result.host = ScreenHost::kOwnWindow;
    } else if (word.empty() || word.front() != '-') {
      windowsForm.push_back(word);
    }
    // Any other option is one of the host's own (-fps, -visual ...): a
    // Windows-form parser would take its letters for a mode.
  }
  // XScreenSaver names the window it made for the hack in the environment;
  // that window wins over -root.
  if (environmentWindow && !window) {
    if (const auto named = ParseWindowId(*environmentWindow)) {
      hosted = true;
      window = named;
    }
  }
  if (hosted) {
    // A host's window runs the slideshow and nothing else; a window id that
    // is no number leaves no mode at all, so the saver ends at once.
    result.host = ScreenHost::kForeignWindow;
    result.window = window.value_or(0);
    windowsForm.resize(1);
    if (!unusableWindow) windowsForm.push_back("/s");
  } else if (result.host == ScreenHost::kOwnWindow && windowsForm.size() == 1) {
    windowsForm.push_back("/s");
  }
  result.commandLine = JoinWords(windowsForm);
  return result;
}

}  // namespace orvanel::shell
