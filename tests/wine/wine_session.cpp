#include "wine/wine_session.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/await.h"

namespace orvanel::wine {

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (auto& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

WineSession::WineSession() {
  if (Start()) return;
  // A harness that ends before it is ready met Wine's server of the prefix
  // as it was going away (a test before this one ended it): once that
  // server is gone, a second start meets a new one.
  std::fprintf(stderr, "the harness ended before it was ready; starting it again\n");
  Stop();
  if (std::system("wineserver -w") != 0 || !Start()) {
    Stop();
    throw std::runtime_error("the harness did not start under Wine");
  }
}

WineSession::~WineSession() { Stop(); }

bool WineSession::Start() {
  int in[2];
  int out[2];
  if (pipe(in) != 0 || pipe(out) != 0) throw std::runtime_error("pipe failed");
  child_ = fork();
  if (child_ < 0) throw std::runtime_error("fork failed");
  if (child_ == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(in[0]);
    close(in[1]);
    close(out[0]);
    close(out[1]);
    const std::string saver = WindowsPath(ORVANEL_SCR);
    execlp("wine", "wine", ORVANEL_HARNESS, saver.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  toHarness_ = in[1];
  fromHarness_ = out[0];
  return ReadLine(60) == "ready";
}

void WineSession::Stop() {
  if (toHarness_ >= 0) {
    const std::string quit = "quit\n";
    (void)!write(toHarness_, quit.data(), quit.size());
    close(toHarness_);
    toHarness_ = -1;
  }
  if (child_ > 0) {
    // Give the harness a moment to end by itself, then make sure it does.
    if (!testing::Eventually([&] { return waitpid(child_, nullptr, WNOHANG) == child_; },
                             std::chrono::seconds(2))) {
      kill(child_, SIGKILL);
      waitpid(child_, nullptr, 0);
    }
    child_ = -1;
  }
  if (fromHarness_ >= 0) {
    close(fromHarness_);
    fromHarness_ = -1;
  }
  buffered_.clear();
}

std::string WineSession::Command(const std::string& line, int seconds) {
  const std::string text = line + "\n";
  if (write(toHarness_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return {};
  return ReadLine(seconds);
}

std::string WineSession::ReadLine(int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  for (;;) {
    const auto newline = buffered_.find('\n');
    if (newline != std::string::npos) {
      std::string line = buffered_.substr(0, newline);
      buffered_.erase(0, newline + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {};
    pollfd fd{fromHarness_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t got = read(fromHarness_, chunk, sizeof chunk);
    if (got <= 0) return {};
    buffered_.append(chunk, static_cast<std::size_t>(got));
  }
}

std::string WineSession::Value(const std::string& answer) {
  const auto space = answer.find(' ');
  if (space == std::string::npos) return {};
  const auto end = answer.find(' ', space + 1);
  return answer.substr(space + 1, end == std::string::npos ? std::string::npos : end - space - 1);
}

}  // namespace orvanel::wine
