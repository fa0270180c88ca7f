#include "shell/command_line.h"

#include <cstdint>
#include <limits>

#include "instance/saver.h"

namespace orvanel::shell {
namespace {

bool EndsWord(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  const auto peek = [&](std::size_t offset) {
    return at + offset < line.size() ? line[at + offset] : '\0';
  };
  for (;;) {
    while (at < line.size() && EndsWord(line[at])) ++at;
    if (peek(0) == '"' && peek(1) == '"') {
      at += 2;
      continue;
    }
    if (at >= line.size()) break;
    std::string word;
    while (at < line.size() && !EndsWord(line[at])) {
      if (line[at] == '"') {
        ++at;
        while (at < line.size() && line[at] != '"') word += line[at++];
        if (at < line.size()) ++at;
      } else {
        word += line[at++];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

platform::WindowHandle HandleFromArg(platform::Desktop& desktop, std::string_view text) {
  std::int64_t value = 0;
  bool anyDigit = false;
  for (char c : text) {
    if (c < '0' || c > '9') continue;
    anyDigit = true;
    value = value * 10 + (c - '0');
    // Too many digits for a window handle: no usable window.
    if (value > std::numeric_limits<std::int32_t>::max()) return instance::kNoUsableWindow;
  }
  if (!anyDigit) return instance::kNoUsableWindow;
  const auto candidate = static_cast<platform::WindowHandle>(value);
  return desktop.IsWindow(candidate) ? candidate : instance::kNoUsableWindow;
}

bool ParseCommandLine(Saver& saver) {
  auto& desktop = saver.desktop;
  const auto words = SplitCommandLine(desktop.CommandLine());
  const std::string first = words.size() > 1 ? words[1] : std::string();
  const std::size_t argumentCount = words.empty() ? 0 : words.size() - 1;

  struct LetterRule {
    char letter;
    instance::SaverMode mode;
  };
  static constexpr LetterRule kRules[] = {
      {'c', instance::SaverMode::kConfig},   {'C', instance::SaverMode::kConfig},   {'S', instance::SaverMode::kActive},
      {'s', instance::SaverMode::kActive},   {'P', instance::SaverMode::kPreview},  {'p', instance::SaverMode::kPreview},
      {'L', instance::SaverMode::kPreview},  {'l', instance::SaverMode::kPreview},  {'a', instance::SaverMode::kPassword},
      {'A', instance::SaverMode::kPassword},
  };
  saver.saverMode = instance::SaverMode::kNone;
  for (const auto& rule : kRules) {
    if (first.find(rule.letter) != std::string::npos) saver.saverMode = rule.mode;
  }

  switch (saver.saverMode) {
    case instance::SaverMode::kPreview:
      saver.previewParent =
          argumentCount < 2 ? instance::kNoUsableWindow : HandleFromArg(desktop, words[2]);
      break;
    case instance::SaverMode::kConfig:
      desktop.ShowCursor(true);
      saver.previewParent = HandleFromArg(desktop, first);
      break;
    case instance::SaverMode::kActive:
    case instance::SaverMode::kPassword:
      saver.previewParent = desktop.DesktopWindow();
      break;
    default:
      break;
  }
  if (saver.previewParent == instance::kNoUsableWindow) saver.saverMode = instance::SaverMode::kNone;
  return saver.saverMode != instance::SaverMode::kNone;
}

}  // namespace orvanel::shell
