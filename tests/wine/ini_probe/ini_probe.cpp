// Answers questions about INI files with the desktop's own private-profile
// functions, for the differential test of the saver's INI code.
//   ini_probe.exe SCRIPT
// Each line of SCRIPT is one command, its fields separated by tabs, each
// field escaped as ini_script.h escapes it:
//   read FILE SECTION KEY          the value GetPrivateProfileStringA reads
//   write FILE SECTION KEY VALUE   1 when WritePrivateProfileStringA succeeds
//   dump FILE                      every section and its lines as the desktop lists them
// One answer line per command, escaped the same way, on standard output.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "wine/ini_script.h"

namespace {

using orvanel::wine::Escape;
using orvanel::wine::SplitFields;

// The section names, then each section's lines, every string ended by a NUL.
std::string Dump(const std::string& file) {
  std::vector<char> names(1 << 16);
  const DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file.c_str());
  std::string dump(names.data(), length);
  for (const char* name = names.data(); *name != '\0'; name += std::strlen(name) + 1) {
    std::vector<char> lines(1 << 16);
    const DWORD size = GetPrivateProfileSectionA(name, lines.data(), static_cast<DWORD>(lines.size()), file.c_str());
    dump += "\n[" + std::string(name) + "]\n" + std::string(lines.data(), size);
  }
  return dump;
}

std::string Answer(const std::vector<std::string>& command) {
  const std::string& verb = command.at(0);
  if (verb == "read" && command.size() == 4) {
    std::vector<char> value(2048);
    const DWORD length = GetPrivateProfileStringA(command[2].c_str(), command[3].c_str(), "", value.data(),
                                                  static_cast<DWORD>(value.size()), command[1].c_str());
    return std::string(value.data(), length);
  }
  if (verb == "write" && command.size() == 5) {
    return WritePrivateProfileStringA(command[2].c_str(), command[3].c_str(), command[4].c_str(),
                                      command[1].c_str())
               ? "1"
               : "0";
  }
  if (verb == "dump" && command.size() == 2) return Dump(command[1]);
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: ini_probe.exe SCRIPT\n", stderr);
    return 2;
  }
  // Bytes as they are: no carriage return before each line end.
  _setmode(_fileno(stdout), _O_BINARY);
  std::ifstream script(argv[1], std::ios::binary);
  for (std::string line; std::getline(script, line);) {
    const std::string answer = Escape(Answer(SplitFields(line)));
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    std::fputc('\n', stdout);
  }
  return 0;
}
