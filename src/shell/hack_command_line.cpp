#include "shell/hack_command_line.h"

#include <cctype>
#include <charconv>
#include <utility>

#include "settings/settings_file.h"
#include "shell/startup.h"

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


// An option's name without its one or two dashes; empty for a word that is
// no option.
std::string OptionName(const std::string& word) {
  if (word.size() < 2 || word.front() != '-') return {};
  return word.substr(word.compare(0, 2, "--") == 0 ? 2 : 1);
}

// Whether a word of the Windows forms names a window: /p before the
// window's number, /c: with it.
bool NamesAWindow(std::string word) {
  for (auto& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return word == "/p" || (word.rfind("/c:", 0) == 0 && word.size() > 3);
}

HackArguments UsageError(HackArguments result, std::string error) {
  result.outcome = HackArguments::Outcome::kUsageError;
  result.error = std::move(error);
  return result;
}

}  // namespace

std::string HackUsage(const std::string& program, const std::string& settingsFile) {
  return "Usage: " + program + " [options]\n"
         "  -root                 fill the root window (XScreenSaver)\n"
         "  -window-id ID         fill the window ID, decimal or 0x hexadecimal (XScreenSaver)\n"
         "  -window               run in a window of its own, to try it out\n"
         "  -settings             open the settings dialog\n"
         "  -speed SECONDS        seconds per picture, for this run only\n"
         "  -random, -no-random   random order or in order, for this run only\n"
         "  -blend, -no-blend     each change dissolves or cuts, for this run only\n"
         "  -folder FOLDER        the photos of FOLDER and its subfolders, for this run\n"
         "                        only; -folder \"\" the built-in pictures\n"
         "  -caption none|date|folder  each photo's caption: nothing, the date it was\n"
         "                        taken, or that date and its folder\n"
         "  -fill, -no-fill       photos fill the screen, cropped, or are fitted whole\n"
         "  -help                 this text\n"
         "  /s                    full screen on every monitor\n"
         "The settings are kept in " + settingsFile + ".\n";
}

HackArguments ParseHackArguments(const std::vector<std::string>& arguments,
                                 const std::optional<std::string>& environmentWindow,
                                 std::uint32_t rootWindow) {
  HackArguments result;
  const std::string program = arguments.empty() ? std::string("orvanel") : arguments.front();
  std::vector<std::string> windowsForm{program};
  bool hosted = false;
  bool unusableWindow = false;
  bool settings = false;
  std::optional<std::uint32_t> window;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const auto& word = arguments[i];
    const std::string option = OptionName(word);
    const bool hasValue = i + 1 < arguments.size();
    if (option.empty()) {
      if (NamesAWindow(word)) result.namesXWindow = true;
      windowsForm.push_back(word);
    } else if (option == "root") {
      hosted = true;
    } else if (option == "window-id") {
      hosted = true;
      window = hasValue ? ParseWindowId(arguments[++i]) : std::nullopt;
      unusableWindow = !window;
    } else if (option == "window") {
      result.host = ScreenHost::kOwnWindow;
      // The size of a small monitor, so that the pictures show as they would
      // on one, on any screen the window fits on.
      result.ownWindow = platform::OwnWindowDesign{1024, 768, kSaverTitle};
    } else if (option == "settings") {
      settings = true;
    } else if (option == "speed") {
      // Only what the timer can use: 0 would stop the slideshow on its first
      // picture, and a longer one would run at the timer's longest interval.
      const auto speed = hasValue ? settings::ParseInteger(arguments[++i]) : std::nullopt;
      if (!speed || *speed < 1 || *speed > kMaxSpeedOption) {
        return UsageError(result, "-speed needs a whole number of seconds from 1 to " +
                                      std::to_string(kMaxSpeedOption));
      }
      result.overrides.speed = speed;
    } else if (option == "random" || option == "no-random") {
      result.overrides.random = option == "random";
    } else if (option == "blend" || option == "no-blend") {
      result.overrides.blend = option == "blend";
    } else if (option == "folder") {
      if (!hasValue) return UsageError(result, "-folder needs a folder");
      result.overrides.folder = arguments[++i];
    } else if (option == "caption") {
      const std::string value = hasValue ? arguments[++i] : std::string();
      if (value == "none") {
        result.overrides.caption = instance::CaptionKind::kNone;
      } else if (value == "date") {
        result.overrides.caption = instance::CaptionKind::kDate;
      } else if (value == "folder") {
        result.overrides.caption = instance::CaptionKind::kDateAndFolder;
      } else {
        return UsageError(result, "-caption needs none, date or folder");
      }
    } else if (option == "fill" || option == "no-fill") {
      result.overrides.fit = option == "fill" ? instance::FitMode::kFill : instance::FitMode::kFit;
    } else if (option == "help" || option == "h") {
      result.outcome = HackArguments::Outcome::kHelp;
      return result;
    } else if (option == "fps" || option == "no-fps" || option == "install" || option == "no-install") {
      // XScreenSaver's own options for every hack: nothing to do here.
    } else if (option == "visual") {
      if (hasValue) ++i;
    } else {
      return UsageError(result, "unknown option " + word);
    }
  }
  // XScreenSaver names the window it made for the hack in the environment;
  // that window wins over -root.
  if (environmentWindow && !window) {
    if (const auto named = ParseWindowId(*environmentWindow)) {
      hosted = true;
      window = named;
    }
  }
  result.namesXWindow = result.namesXWindow || hosted;
  if (hosted) {
    // A host's window runs the slideshow and nothing else; a window id that
    // is no number leaves no mode at all, so the saver ends at once.
    result.host = ScreenHost::kForeignWindow;
    result.window = window.value_or(0);
    windowsForm.resize(1);
    if (!unusableWindow) windowsForm.push_back("/s");
  } else if (settings) {
    // The dialog of /c:<window>, its host the root window, which is always there.
    result.host = ScreenHost::kMonitors;
    windowsForm.resize(1);
    windowsForm.push_back("/c:" + std::to_string(rootWindow));
  } else if (result.host == ScreenHost::kOwnWindow && windowsForm.size() == 1) {
    windowsForm.push_back("/s");
  }
  result.commandLine = JoinWords(windowsForm);
  return result;
}

}  // namespace orvanel::shell
