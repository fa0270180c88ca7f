// The thread's message queue and the window timers: GTK's main loop runs
// inside TakeMessage and WaitForMessage, and what it brings (input, ticks,
// windows X destroyed) joins the queue in the order a desktop hands it out.
#include "platform/gtk/gtk_desktop.h"

#include <algorithm>

namespace orvanel::platform::gtk {
namespace {

struct TimerSource {
  GtkDesktop* desktop;
  WindowHandle window;
  std::uintptr_t id;
};

}  // namespace

std::uint32_t GtkDesktop::Now() const { return static_cast<std::uint32_t>(g_get_monotonic_time() / 1000); }

bool GtkDesktop::PostToWindow(WindowHandle window, std::uint32_t id, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  if (!IsOwn(window)) return false;
  Post(Message{window, id, wParam, lParam, Now(), cursor_});
  return true;
}

void GtkDesktop::Pump() {
  // Bounded, so that a stream of events cannot hold the caller.
  for (int i = 0; i < 256 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
  // Windows X destroyed end here now, outside GTK's event handling.
  while (!lost_.empty()) {
    const WindowHandle handle = lost_.back();
    lost_.pop_back();
    DestroyNativeWindow(handle);
  }
}

std::optional<Message> GtkDesktop::TakeMessage() {
  Pump();
  const auto dueTick = [this]() -> std::optional<Message> {
    for (auto& [key, timer] : timers_) {
      if (timer.due) {
        timer.due = false;
        return Message{key.first, kMsgTimer, key.second, 0, Now(), cursor_};
      }
    }
    return std::nullopt;
  };
  return queue_.Take(dueTick, Message{kNoWindow, 0, 0, 0, Now(), cursor_});
}

void GtkDesktop::TranslateInput(const Message& message) {
  if ((message.id == kMsgKeyDown || message.id == kMsgSysKeyDown) && message.lParam != 0) {
    queue_.PostFirst(Message{message.window, message.id == kMsgKeyDown ? kMsgChar : kMsgSysChar,
                              static_cast<std::uintptr_t>(message.lParam), 0, message.time,
                              message.cursor});
  }
}

// The dialog's widgets take their keys from GTK itself: Tab, Enter and the
// underlined letters work there without the saver's help.
bool GtkDesktop::HandleDialogKey(WindowHandle, const Message&) { return false; }

void GtkDesktop::DispatchToWindow(const Message& message) {
  NativeWindow* window = Find(message.window);
  if (window == nullptr || window->procedure == nullptr) return;
  std::intptr_t result = 0;
  if (window->procedure->HandleMessage(message, result)) return;
  if (message.id == kMsgClose) DestroyNativeWindow(message.window);
}

void GtkDesktop::PostQuit(int exitCode) { queue_.PostQuit(exitCode); }

bool GtkDesktop::WaitForMessage() {
  const auto waiting = [this] {
    return queue_.HasPostedOrQuit() ||
           std::any_of(timers_.begin(), timers_.end(), [](const auto& t) { return t.second.due; });
  };
  while (!waiting()) {
    PaintOutputs();
    g_main_context_iteration(nullptr, TRUE);
    Pump();
  }
  return true;
}

bool GtkDesktop::StartTimer(WindowHandle window, std::uintptr_t id, std::uint32_t milliseconds) {
  if (!IsOwn(window)) return false;
  StopTimer(window, id);
  auto* source = new TimerSource{this, window, id};
  const auto tick = [](gpointer data) -> gboolean {
    const auto* s = static_cast<TimerSource*>(data);
    // Ticks nobody took yet collapse into one, as the desktop's do.
    s->desktop->timers_[{s->window, s->id}].due = true;
    return G_SOURCE_CONTINUE;
  };
  const guint tag = g_timeout_add_full(G_PRIORITY_DEFAULT, std::max<std::uint32_t>(milliseconds, 10), tick,
                                       source, [](gpointer data) { delete static_cast<TimerSource*>(data); });
  timers_[{window, id}] = Timer{tag, false};
  return true;
}

void GtkDesktop::StopTimer(WindowHandle window, std::uintptr_t id) {
  const auto it = timers_.find({window, id});
  if (it == timers_.end()) return;
  g_source_remove(it->second.source);
  timers_.erase(it);
}

}  // namespace orvanel::platform::gtk
