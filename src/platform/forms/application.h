#pragma once
// The application object: its title, its hidden owner window, its forms and
// the one message loop of the user-interface thread. A close request from
// outside (kMsgCloseRequest, posted to the saver's top-level windows) reaches
// the owner window, which closes the main form; so does the end of the
// window another program gave the saver to show in (kMsgHostWindowGone).
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop.h"
#include "platform/forms/form.h"

namespace orvanel::forms {

class Application : private platform::WindowProcedure, private platform::WhileBoxShows {
 public:
  explicit Application(platform::Desktop& desktop);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  platform::Desktop& Desktop() const { return desktop_; }

  // Creates the hidden window that owns every top-level form.
  void Initialize();
  platform::WindowHandle Window() const { return window_; }
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // Builds a form of type F; the first form built becomes the main form once
  // it has been built.
  template <typename F, typename... Args>
  F& CreateForm(Args&&... args) {
    auto form = std::make_unique<F>(*this, std::forward<Args>(args)...);
    F& created = *form;
    forms_.push_back(std::move(form));
    if (firstForm_ == nullptr) firstForm_ = &created;
    created.Create();
    if (firstForm_ == &created) mainForm_ = &created;
    return created;
  }

  // The main form; null while it is still being built.
  Form* MainForm() const { return mainForm_; }
  // True for the main form, also while it is being built.
  bool IsMainForm(const Form* form) const { return form == firstForm_; }

  // Shows the main form (unless the application is already ending) and runs
  // the message loop until the application quits.
  void Run();
  // Takes one message off the queue and handles it; false when there was none.
  bool ProcessMessage();
  // Handles every message waiting, then returns.
  void ProcessMessages();
  // Asks the application to end: posts the quit message.
  void Terminate();
  // True once the quit message has been met.
  bool Terminated() const { return terminated_; }
  // True once Terminate has been called.
  bool TerminateRequested() const { return terminateRequested_; }

  // Where errors that leave a handler are reported.
  enum class ErrorReport {
    kMessageBox,  // a box with the error's text, the title as caption, the error icon and OK
    kHostLog,     // one line, the title and the text, in the starting program's log
  };
  void SetErrorReport(ErrorReport report) { errorReport_ = report; }
  void ShowException(const std::exception& error);
  // True while an error box is open.
  bool ReportingError() const { return reportingError_; }

  // The keyboard and the pointer go to the saver's windows alone, from
  // `window` on; an error box has them for as long as it shows.
  void CaptureInput(platform::WindowHandle window);

 private:
  bool HandleMessage(const platform::Message& message, std::intptr_t& result) override;
  // While an error box shows, the saver's windows go on; a quit message ends
  // the box and is posted again for the main loop.
  bool DispatchWaiting() override;
  // The main form's controls take their keys as a dialog's do.
  bool IsDialogKey(const platform::Message& message);

  platform::Desktop& desktop_;
  platform::WindowHandle window_ = platform::kNoWindow;
  std::string title_;
  std::vector<std::unique_ptr<Form>> forms_;
  Form* firstForm_ = nullptr;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  bool terminateRequested_ = false;
  bool reportingError_ = false;
  bool quitEndedBox_ = false;
  platform::WindowHandle captured_ = platform::kNoWindow;
  ErrorReport errorReport_ = ErrorReport::kMessageBox;
};

// Dispatches every message waiting, for a loop inside the main one (a wait,
// a box). A quit message stops it and is posted again for the main loop;
// true then.
bool DispatchWaitingMessages(platform::Desktop& desktop);

}  // namespace orvanel::forms
