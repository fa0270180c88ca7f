#pragma once
// A test fixture with one harness session for the whole test suite.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>

#include "support/await.h"
#include "support/screen_sample.h"
#include "wine/wine_session.h"

namespace orvanel::wine {

using testing::Eventually;
using testing::Sample;

class WineTest : public ::testing::Test {
 protected:
  // The harness starts with the suite's first test. A harness that cannot
  // start fails each test: a failure in SetUpTestSuite would make GoogleTest
  // skip the suite's tests, and CTest report them as skipped.
  WineTest() {
    if (session == nullptr) session = new WineSession();
  }
  static void TearDownTestSuite() {
    delete session;
    session = nullptr;
  }

  // Starts orvanel.scr with these arguments; returns its process id.
  static std::string Launch(const std::string& arguments) {
    const auto answer = session->Command("launch " + arguments);
    EXPECT_EQ(answer.rfind("pid ", 0), 0u) << answer;
    return WineSession::Value(answer);
  }

  // Waits for the process to end after it was asked to; ends it otherwise.
  static std::string AwaitExit(const std::string& pid, int milliseconds = 15000) {
    const auto ended = session->Command("wait-exit " + pid + " " + std::to_string(milliseconds));
    if (ended != "exited 0") session->Command("kill " + pid);
    return ended;
  }

  // The handle of a visible top-level window of that class, or empty text.
  static std::string FindWindow(const std::string& pid, const std::string& className) {
    const auto answer = session->Command("find " + pid + " " + className + " 15000");
    return answer.rfind("hwnd ", 0) == 0 ? WineSession::Value(answer) : std::string();
  }

  // Where the saver keeps its settings in the Wine prefix.
  struct SettingsPlace {
    std::string appData;  // the user's local application-data folder
    std::string folder;
    std::string file;
  };
  static SettingsPlace Settings() {
    SettingsPlace place;
    place.appData = session->Command("appdata");
    place.folder = place.appData + "\\vorlanthix";
    place.file = place.folder + "\\orvanel.ini";
    return place;
  }
  // Writes one setting as a user's earlier save would have.
  static std::string StoreSetting(const SettingsPlace& place, const std::string& key,
                                  const std::string& value) {
    session->Command("mkdir " + place.folder);
    return session->Command("write-ini " + place.file + " Config " + key + " " + value);
  }
  static void RemoveSettings(const SettingsPlace& place) {
    session->Command("delete " + place.file);
    session->Command("rmdir " + place.folder);
  }

  static Sample Take(int x, int y, int w, int h) {
    std::istringstream answer(session->Command("sample " + std::to_string(x) + " " +
                                               std::to_string(y) + " " + std::to_string(w) + " " +
                                               std::to_string(h)));
    Sample sample;
    std::string word;
    answer >> word >> sample.lit >> word >> sample.total >> word >> sample.sum;
    return sample;
  }

  // Samples until `done` holds or the time is up; returns the last sample.
  template <typename Done>
  static Sample WaitFor(int x, int y, int w, int h, int seconds, Done&& done) {
    return testing::SampleUntil([&] { return Take(x, y, w, h); }, done, std::chrono::seconds(seconds),
                                std::chrono::milliseconds(250));
  }

  // The saver's top-level windows as "class:visible:alpha:l,t,r,b " each.
  static std::string WindowList(const std::string& pid) { return session->Command("windows " + pid); }
  // Waits until the window list holds `text`; false when it did not in time.
  static bool AwaitWindows(const std::string& pid, const std::string& text, int milliseconds = 15000) {
    return Eventually([&] { return WindowList(pid).find(text) != std::string::npos; },
                      std::chrono::milliseconds(milliseconds), std::chrono::milliseconds(50));
  }
  // Waits until `window` has the keyboard focus of its thread.
  static bool AwaitFocus(const std::string& window, int milliseconds = 10000) {
    return Eventually([&] { return session->Command("focus " + window) == "hwnd " + window; },
                      std::chrono::milliseconds(milliseconds), std::chrono::milliseconds(50));
  }

  static inline WineSession* session = nullptr;
};

}  // namespace orvanel::wine
