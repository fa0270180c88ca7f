#include "platform/forms/application.h"

#include <algorithm>

#include "platform/forms/error.h"
#include "platform/window_styles.h"

namespace orvanel::forms {

Application::Application(platform::Desktop& desktop) : desktop_(desktop) {}

Application::~Application() {
  // Forms go first, newest first, while the window that owns them still exists.
  while (!forms_.empty()) forms_.pop_back();
  if (window_ != platform::kNoWindow) desktop_.DestroyNativeWindow(window_);
}

void Application::Initialize() {
  if (window_ != platform::kNoWindow) return;
  platform::WindowRequest request;
  request.className = "OrvanelApplication";
  request.caption = title_;
  request.style = platform::kStylePopup | platform::kStyleCaption | platform::kStyleSysMenu;
  request.procedure = this;
  window_ = desktop_.CreateNativeWindow(request);
}

void Application::SetTitle(const std::string& title) {
  title_ = title;
  if (window_ != platform::kNoWindow) desktop_.SetControlText(window_, title);
}

void Application::Run() {
  if (mainForm_ != nullptr && !terminateRequested_) mainForm_->Show();
  while (!terminated_) {
    if (!ProcessMessage() && !desktop_.WaitForMessage()) return;
  }
}

bool Application::ProcessMessage() {
  const auto message = desktop_.TakeMessage();
  if (!message) return false;
  if (message->id == platform::kMsgQuit) {
    terminated_ = true;
    return true;
  }
  if (IsDialogKey(*message)) return true;
  desktop_.TranslateInput(*message);
  desktop_.DispatchToWindow(*message);
  return true;
}

bool Application::IsDialogKey(const platform::Message& message) {
  if (message.id < platform::kMsgKeyDown || message.id > platform::kMsgSysDeadChar) return false;
  if (mainForm_ == nullptr || !mainForm_->HandleAllocated()) return false;
  // Only a form that shows controls has a dialog's keyboard.
  const auto& controls = mainForm_->Controls();
  const bool dialog = std::any_of(controls.begin(), controls.end(),
                                  [](const auto& control) { return control->Visible(); });
  return dialog && desktop_.HandleDialogKey(mainForm_->Handle(), message);
}

void Application::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void Application::Terminate() {
  terminateRequested_ = true;
  desktop_.PostQuit(0);
}

void Application::ShowException(const std::exception& error) {
  const std::string text = ErrorBoxText(error.what());
  if (errorReport_ == ErrorReport::kHostLog) {
    desktop_.WriteToHostLog(title_ + ": " + text);
    return;
  }
  reportingError_ = true;
  quitEndedBox_ = false;
  desktop_.ReleaseInput();
  desktop_.ShowMessageBox(text, title_, platform::kBoxIconError, *this);
  if (captured_ != platform::kNoWindow && !quitEndedBox_) desktop_.CaptureInput(captured_);
  reportingError_ = false;
}

void Application::CaptureInput(platform::WindowHandle window) {
  captured_ = window;
  desktop_.CaptureInput(window);
}

bool Application::DispatchWaiting() {
  quitEndedBox_ = DispatchWaitingMessages(desktop_);
  return !quitEndedBox_;
}

bool DispatchWaitingMessages(platform::Desktop& desktop) {
  while (const auto message = desktop.TakeMessage()) {
    if (message->id == platform::kMsgQuit) {
      desktop.PostQuit(static_cast<int>(message->wParam));
      return true;
    }
    desktop.TranslateInput(*message);
    desktop.DispatchToWindow(*message);
  }
  return false;
}

bool Application::HandleMessage(const platform::Message& message, std::intptr_t& result) {
  switch (message.id) {
    case platform::kMsgClose:
      // The hidden owner window refuses closing, which would end nothing
      // but itself.
      result = 0;
      return true;
    case platform::kMsgCloseRequest:
    case platform::kMsgHostWindowGone:
      // Asked from outside to end, or left with nothing to show in: a main
      // form that shows closes as if the user closed it, so that its close
      // steps run; with none showing there is nothing to close, and the
      // application ends.
      result = 0;
      if (mainForm_ == nullptr || !mainForm_->Visible()) {
        Terminate();
        return true;
      }
      try {
        mainForm_->Close();
      } catch (const std::exception& error) {
        ShowException(error);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace orvanel::forms
