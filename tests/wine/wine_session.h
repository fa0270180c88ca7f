#pragma once
// Drives the test harness inside Wine: one harness process per session, one
// command a line, one answer a line. The Wine prefix and the display come from
// the environment (WINEPREFIX, DISPLAY), as scripts/test sets them.
#include <sys/types.h>

#include <string>

namespace orvanel::wine {

class WineSession {
 public:
  WineSession();
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  // Sends a command and returns the answer line; empty when the harness did
  // not answer within `seconds`.
  std::string Command(const std::string& line, int seconds = 60);

  // The second word of an answer such as "pid 12" or "hwnd 65558".
  static std::string Value(const std::string& answer);

 private:
  // Starts the harness; true once it said it is ready.
  bool Start();
  // Ends the harness, if it runs, and closes its pipes.
  void Stop();
  std::string ReadLine(int seconds);

  pid_t child_ = -1;
  int toHarness_ = -1;
  int fromHarness_ = -1;
  std::string buffered_;
};

// The Windows path of a file of this machine, as Wine's drive Z: shows it.
std::string WindowsPath(const std::string& unixPath);

}  // namespace orvanel::wine
