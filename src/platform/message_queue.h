#pragma once
// The order in which a desktop hands out a thread's messages, for backends
// that keep the queue themselves: posted messages and input first, in the
// order they came, then the quit message, then a timer's tick, which is only
// made when nothing else waits.
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/messages.h"

namespace orvanel::platform {

class MessageQueue {
 public:
  void Post(const Message& message) { posted_.push_back(message); }
  // Ahead of everything waiting: the character a key press was translated into.
  void PostFirst(const Message& message) { posted_.push_front(message); }
  // The quit message is a flag, not a queued message: it waits behind
  // everything posted, however late that was posted.
  void PostQuit(int exitCode) { quitCode_ = exitCode; }

  // The starting program's request to end: a close request to each
  // top-level window of the saver's, or the quit message when it has none.
  void PostCloseRequest(const std::vector<WindowHandle>& topLevelWindows, const Message& stamp) {
    PostToTopLevel(topLevelWindows, kMsgCloseRequest, stamp);
  }

  // A message without parameters to each top-level window, or the quit
  // message when there is none to hear it.
  void PostToTopLevel(const std::vector<WindowHandle>& windows, std::uint32_t id, const Message& stamp) {
    if (windows.empty()) {
      PostQuit(0);
      return;
    }
    for (const auto window : windows) {
      Message message = stamp;
      message.window = window;
      message.id = id;
      message.wParam = 0;
      message.lParam = 0;
      Post(message);
    }
  }

  bool QuitPending() const { return quitCode_.has_value(); }
  std::size_t PostedCount() const { return posted_.size(); }
  // Whether Take has something other than a timer's tick to give.
  bool HasPostedOrQuit() const { return !posted_.empty() || quitCode_.has_value(); }

  // The next message, or none. `dueTick` is asked for a timer's tick only
  // when no posted message and no quit message waits; `stamp` gives the quit
  // message its time and cursor.
  std::optional<Message> Take(const std::function<std::optional<Message>()>& dueTick,
                              const Message& stamp) {
    if (!posted_.empty()) {
      const Message message = posted_.front();
      posted_.pop_front();
      return message;
    }
    if (quitCode_) {
      Message quit = stamp;
      quit.window = kNoWindow;
      quit.id = kMsgQuit;
      quit.wParam = static_cast<std::uintptr_t>(*quitCode_);
      quit.lParam = 0;
      quitCode_.reset();
      return quit;
    }
    return dueTick();
  }

 private:
  std::deque<Message> posted_;
  std::optional<int> quitCode_;
};

}  // namespace orvanel::platform
