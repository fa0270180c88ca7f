// The thread's message queue and the window timers: GTK's main loop runs
// inside TakeMessage and WaitForMessage, and what it brings (input, ticks,
// windows X destroyed) joins the queue in the order a desktop hands it out.
#include "platform/gtk/gtk_desktop.h"

#include <poll.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace orvanel::platform::gtk {
namespace {

// How much lower than the user-interface thread's the work thread's priority is.
constexpr int kWorkNiceness = 10;

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

std::unique_ptr<WorkThread> GtkDesktop::StartWorkThread(WorkThread::Step step, WindowHandle window,
                                                        std::uint32_t id) {
  auto post = [this, window, id](std::uintptr_t value) {
    // From the work thread: the main loop is the one thing here safe to
    // reach from another thread, and adding a source wakes its poll.
    struct Told {
      GtkDesktop* desktop;
      Message message;
    };
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
          const auto* told = static_cast<const Told*>(data);
          Message message = told->message;
          message.time = told->desktop->Now();
          message.cursor = told->desktop->cursor_;
          told->desktop->Post(message);
          return G_SOURCE_REMOVE;
        },
        new Told{this, Message{window, id, value, 0, 0, {}}}, [](gpointer data) { delete static_cast<Told*>(data); });
  };
  // A nice value is the thread's own on Linux, and the threads it starts take it.
  const auto lowerPriority = [] { setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkNiceness); };
  return std::make_unique<ThreadedWork>(std::move(step), std::move(post), abandonedWork_, lowerPriority);
}

void GtkDesktop::Pump() {
  // Right after a pass over the sources another finds nothing new: what
  // comes meanwhile is found by the next pass, and a sleep's pass returns at
  // once for it. So the first look just after a pass is spared, never two
  // in a row, and the sources are never left alone for long.
  constexpr gint64 kJustNowUs = 1000;
  const bool justPolled = polledAtUs_ != 0 && g_get_monotonic_time() - polledAtUs_ < kJustNowUs;
  polledAtUs_ = 0;
  if (!justPolled) {
    // Bounded, so that a stream of events cannot hold the caller.
    for (int i = 0; i < 256 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
    polledAtUs_ = g_get_monotonic_time();
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

bool GtkDesktop::MessageWaiting() const {
  return queue_.HasPostedOrQuit() ||
         std::any_of(timers_.begin(), timers_.end(), [](const auto& t) { return t.second.due; });
}

bool GtkDesktop::WaitForMessage() {
  while (!MessageWaiting()) {
    PaintOutputs();
    g_main_context_iteration(nullptr, TRUE);
    Pump();
  }
  return true;
}

namespace {

std::int64_t RealTimeNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

timespec TimespecOf(std::int64_t ns) {
  return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

std::uint32_t GtkDesktop::SleepUntilMessage(std::uint32_t milliseconds, bool) {
  // The local clock reads whole milliseconds of the real-time clock: the
  // sleep ends on the tick at which it has gone on by `milliseconds` from
  // the reading the caller reckoned with, painting included.
  const std::int64_t spanMaxNs = static_cast<std::int64_t>(milliseconds) * 1'000'000;
  const std::int64_t endNs = (lastClockReadingMs_ + milliseconds) * 1'000'000;
  // The frame a fade step asked for is made inside the wait that follows it.
  PaintOutputs();
  if (MessageWaiting()) return 0;
  // Never longer than asked, though the clock be set back meanwhile.
  const std::int64_t spanNs = std::min(endNs - RealTimeNs(), spanMaxNs);
  if (spanNs > 0) PollSources(spanNs);
  return 0;
}

void GtkDesktop::PollSources(std::int64_t spanNs) {
  // GLib's own iteration polls with a timeout in whole milliseconds; this
  // pass is its steps with the span in nanoseconds.
  static_assert(sizeof(GPollFD) == sizeof(pollfd) && offsetof(GPollFD, revents) == offsetof(pollfd, revents),
                "GLib's poll records are the system's");
  GMainContext* context = g_main_context_default();
  if (!g_main_context_acquire(context)) {
    // Another thread runs the loop: sleep without it rather than spin.
    const timespec span = TimespecOf(spanNs);
    nanosleep(&span, nullptr);
    return;
  }
  gint priority = 0;
  g_main_context_prepare(context, &priority);
  gint sourceTimeoutMs = -1;
  gint count = 0;
  while ((count = g_main_context_query(context, priority, &sourceTimeoutMs, pollFds_.data(),
                                       static_cast<gint>(pollFds_.size()))) > static_cast<gint>(pollFds_.size())) {
    pollFds_.resize(static_cast<std::size_t>(count));
  }
  // A source's own timeout (a timer due) may come first.
  if (sourceTimeoutMs >= 0) spanNs = std::min(spanNs, static_cast<std::int64_t>(sourceTimeoutMs) * 1'000'000);
  const timespec timeout = TimespecOf(spanNs);
  ppoll(reinterpret_cast<pollfd*>(pollFds_.data()), static_cast<nfds_t>(count), &timeout, nullptr);
  g_main_context_check(context, priority, pollFds_.data(), count);
  g_main_context_dispatch(context);
  g_main_context_release(context);
  polledAtUs_ = g_get_monotonic_time();
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
  const guint tag = g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds, tick,
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
