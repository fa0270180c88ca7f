// The saver's own INI code against the desktop's private-profile functions
// (Wine's GetPrivateProfileStringA and WritePrivateProfileStringA, through
// ini_probe.exe), on the same files: files users and other programs leave.
//   Reading: every case file, the same sections and keys, the same values.
//   Writing: the saver's four settings written by each into its own copy;
//            the desktop then lists the same sections and lines in both, and
//            the saver's code reads the desktop's copy as the desktop does.
// Differences kept on purpose are listed in kKept, each with its reason; a
// kept difference that disappears fails too, so the list stays true.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "platform/ini/ini_file.h"
#include "wine/ini_script.h"

namespace orvanel::wine {
namespace {

namespace fs = std::filesystem;
namespace ini = platform::ini;

struct Case {
  std::string name;
  std::string bytes;
};

std::string Utf16(const std::u16string& text, bool bigEndian, bool mark) {
  std::string bytes;
  const auto put = [&](char16_t unit) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  };
  if (mark) put(u'\uFEFF');
  for (const char16_t unit : text) put(unit);
  return bytes;
}

const std::string kBom = "\xEF\xBB\xBF";
const char kWithNul[] = "[Config]\r\nSpeed=8\0" "9\r\nRandom=0\r\n";

std::vector<Case> Cases() {
  return {
      // Encodings.
      {"ansi", "[Config]\r\nSpeed=8\r\nRandom=1\r\nBlend=0\r\n"},
      {"utf8-bom", kBom + "[Config]\r\nSpeed=8\r\nRandom=0\r\n"},
      {"utf8-bom-key-first", kBom + "Speed=3\r\n[Config]\r\nSpeed=8\r\n"},
      {"utf8-bom-only", kBom},
      {"utf16le", Utf16(u"[Config]\r\nSpeed=8\r\nRandom=0\r\n", false, true)},
      {"utf16le-folder", Utf16(u"[Config]\r\nSpeed=8\r\nFolder=C:\\Bilder\\\u00C5lesund\r\n", false, true)},
      {"utf16be", Utf16(u"[Config]\r\nSpeed=8\r\nBlend=0\r\n", true, true)},
      {"utf16le-no-mark", Utf16(u"[Config]\r\nSpeed=8\r\n", false, false)},
      {"utf16le-lf", Utf16(u"[Config]\nSpeed=8\nRandom=0\n", false, true)},
      {"utf16le-beyond-bmp", Utf16(u"[Config]\r\nFolder=D:\\\U0001F600\r\nSpeed=8\r\n", false, true)},
      {"utf16le-odd-length", Utf16(u"[Config]\r\nSpeed=8\r\n", false, true) + "\x41"},
      {"utf8-folder", "[Config]\r\nFolder=C:\\Bilder\\\xC3\x85lesund\r\n"},
      {"latin1-folder", "[Config]\r\nFolder=C:\\Bilder\\\xC5lesund\r\n"},
      // Line ends.
      {"lf", "[Config]\nSpeed=8\nRandom=0\n"},
      {"cr", "[Config]\rSpeed=8\rRandom=0\r"},
      {"mixed-ends", "[Config]\rSpeed=8\nRandom=0\r\nBlend=0\n\r[Other]\rSpeed=2"},
      {"no-last-end", "[Config]\r\nSpeed=8"},
      {"cr-cr-lf", "[Config]\r\r\nSpeed=8\r\r\n"},
      // Blanks and shapes of lines.
      {"blanks", "  [ Config ]  \r\n  Speed  =  8  \r\n\tRandom\t=\t0\t\r\n\r\n   \r\n"},
      {"empty", ""},
      {"blank-lines", "\r\n\r\n  \r\n"},
      {"header-trailer", "[Config] saver settings\r\nSpeed=8\r\n"},
      {"header-unclosed", "[Config\r\nSpeed=8\r\n"},
      {"header-empty", "[]\r\nSpeed=2\r\n[Config]\r\nSpeed=8\r\n"},
      {"header-nested", "[Con[fig]]\r\nSpeed=2\r\n[Config]\r\nSpeed=8\r\n"},
      {"header-unclosed-inside", "[Config]\r\nRandom=0\r\n[Other\r\nSpeed=8\r\n"},
      {"header-case", "[CONFIG]\r\nSPEED=8\r\nfolder=D:\\x\r\n"},
      {"form-feeds", "\f[Config]\v\r\n\fSpeed\v=\f8\v\r\n"},
      {"empty-values", "[Config]\r\nSpeed=\r\nRandom=  \r\nBlend\r\n"},
      {"keys-before-section", "Speed=5\r\n[Config]\r\nRandom=0\r\n"},
      {"no-equals", "[Config]\r\njust words\r\nSpeed=8\r\n"},
      {"empty-key", "[Config]\r\n=5\r\nSpeed=8\r\n"},
      {"equals-in-value", "[Config]\r\nFolder=D:\\a=b\r\nSpeed = = 8\r\n"},
      {"inner-blanks", "[Config]\r\nSp eed=2\r\nSpeed=8 0\r\nFolder=D:\\My  Photos\\\r\n"},
      // Quotes.
      {"quotes", "[Config]\r\nSpeed=\"12\"\r\nRandom='0'\r\nBlend=\"1\r\nFolder=\" D:\\x \" \r\n"},
      {"quotes-odd", "[Config]\r\nSpeed=\"\r\nRandom=\"\"\r\nBlend=\"1'\r\nFolder=\"a\"b\"\r\n"},
      // Duplicates.
      {"section-twice", "[Config]\r\nSpeed=8\r\n[Other]\r\nx=1\r\n[config]\r\nSpeed=9\r\nBlend=0\r\n"},
      {"key-twice", "[Config]\r\nSpeed=8\r\nSpeed=9\r\nRANDOM=0\r\nrandom=1\r\n"},
      {"section-twice-key-later", "[Config]\r\nRandom=0\r\n[Config]\r\nSpeed=9\r\n"},
      // Comments.
      {"comments", "; saver\r\n[Config]\r\n;Speed=1\r\n#Random=0\r\nSpeed=8 ; note\r\n  ; Blend=0\r\n"},
      {"comment-section", ";[Config]\r\nSpeed=2\r\n[Config]\r\nBlend=0\r\n"},
      // Long and odd values.
      {"long-value", "[Config]\r\nFolder=" + std::string(3000, 'f') + "\r\nSpeed=8\r\n"},
      {"tabs-in-value", "[Config]\r\nFolder=D:\\a\tb\r\n"},
      {"nul-byte", std::string(kWithNul, sizeof kWithNul - 1)},
      {"other-sections-only", "[Display]\r\nMode=1\r\n[Config2]\r\nSpeed=4\r\n"},
  };
}

const std::vector<std::string> kKeys = {"Speed", "Random", "Blend", "Folder", "x"};
const std::vector<std::string> kSections = {"Config", "Other"};

// What the saver writes when OK is pressed, with a folder chosen.
const std::vector<std::tuple<std::string, std::string, std::string>> kWrites = {
    {"Config", "Speed", "12"},
    {"Config", "Random", "0"},
    {"Config", "Blend", "1"},
    {"Config", "Folder", "D:\\Fotos\\Sommer"},
};

// Where the saver's code differs from the desktop's on purpose:
// {case, what differs ("read SECTION KEY", "dump" or "reread SECTION KEY")}.
struct Kept {
  std::string caseName;
  std::string what;
  const char* reason;
};
const std::vector<Kept> kKept = {
    {"utf16le-folder", "read Config Folder",
     "the saver's strings are UTF-8 on Linux; the desktop's ANSI functions give the ANSI code page"},
    {"utf16le-beyond-bmp", "read Config Folder", "as above; the ANSI code page has no emoji and gives '?'"},
};

std::string WindowsPath(const fs::path& path) {
  std::string text = "Z:" + path.string();
  for (auto& c : text) c = c == '/' ? '\\' : c;
  return text;
}

// Runs the probe under Wine on a script of commands; one answer per command.
std::vector<std::string> RunProbe(const fs::path& folder, const std::vector<std::vector<std::string>>& commands) {
  const fs::path script = folder / "script.txt";
  {
    std::ofstream out(script, std::ios::binary);
    for (const auto& fields : commands) {
      for (std::size_t i = 0; i < fields.size(); ++i) out << (i == 0 ? "" : "\t") << Escape(fields[i]);
      out << '\n';
    }
  }
  const std::string command = "wine '" + std::string(ORVANEL_INI_PROBE) + "' '" + WindowsPath(script) + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  ::pclose(pipe);
  std::vector<std::string> answers;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) answers.push_back(Unescape(line));
  return answers;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class IniDifferential : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("orvanel-ini-diff-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path File(const Case& c, const char* copy) const { return folder / (c.name + copy + ".ini"); }

  // Compares one answer, or checks that a kept difference is still there.
  void Compare(const std::string& caseName, const std::string& what, const std::string& desktop,
               const std::string& saver) {
    ++compared;
    for (const auto& kept : kKept) {
      if (kept.caseName == caseName && kept.what == what) {
        EXPECT_NE(desktop, saver) << caseName << ": " << what << " now agrees; drop it from the kept list";
        ++keptSeen;
        return;
      }
    }
    EXPECT_EQ(Escape(desktop), Escape(saver)) << caseName << ": " << what;
  }

  fs::path folder;
  int compared = 0;
  int keptSeen = 0;
};

TEST_F(IniDifferential, ReadsAndWritesAsTheDesktopsOwnFunctions) {
  const auto cases = Cases();
  // First run: the desktop reads each file, writes its copy and lists it.
  std::vector<std::vector<std::string>> first;
  for (const auto& c : cases) {
    WriteFile(File(c, ""), c.bytes);
    WriteFile(File(c, ".desktop"), c.bytes);
    WriteFile(File(c, ".saver"), c.bytes);
    for (const auto& section : kSections) {
      for (const auto& key : kKeys) first.push_back({"read", WindowsPath(File(c, "")), section, key});
    }
    for (const auto& [section, key, value] : kWrites) {
      first.push_back({"write", WindowsPath(File(c, ".desktop")), section, key, value});
    }
    first.push_back({"dump", WindowsPath(File(c, ".desktop"))});
  }
  const auto firstAnswers = RunProbe(folder, first);
  ASSERT_EQ(firstAnswers.size(), first.size()) << "the probe did not answer every command";

  // The saver's code does the same; then the desktop lists the saver's copy
  // and reads its own copy again.
  std::vector<std::vector<std::string>> second;
  for (const auto& c : cases) {
    for (const auto& [section, key, value] : kWrites) {
      EXPECT_TRUE(ini::WriteValue(File(c, ".saver"), section, key, value)) << c.name;
    }
    second.push_back({"dump", WindowsPath(File(c, ".saver"))});
    for (const auto& key : kKeys) second.push_back({"read", WindowsPath(File(c, ".desktop")), "Config", key});
  }
  const auto secondAnswers = RunProbe(folder, second);
  ASSERT_EQ(secondAnswers.size(), second.size()) << "the probe did not answer every command";

  std::size_t at = 0, again = 0;
  for (const auto& c : cases) {
    for (const auto& section : kSections) {
      for (const auto& key : kKeys) {
        Compare(c.name, "read " + section + " " + key, firstAnswers[at++], ini::ReadValue(File(c, ""), section, key));
      }
    }
    for (std::size_t w = 0; w < kWrites.size(); ++w) EXPECT_EQ(firstAnswers[at++], "1") << c.name << " write " << w;
    Compare(c.name, "dump", firstAnswers[at++], secondAnswers[again++]);
    for (const auto& key : kKeys) {
      Compare(c.name, "reread Config " + key, secondAnswers[again++], ini::ReadValue(File(c, ".desktop"), "Config", key));
    }
  }
  EXPECT_EQ(keptSeen, static_cast<int>(kKept.size()));
  std::printf("%zu files, %d answers compared, %zu differences kept\n", cases.size(), compared, kKept.size());
}

}  // namespace
}  // namespace orvanel::wine
