#pragma once
// TfrmSAVERbl..TfrmSAVERbl4: the blend overlays, one over each monitor's
// picture window, fully transparent at rest; the presenter fades a new
// picture in on them.
#include "platform/forms/form.h"

namespace orvanel::shell {
struct Saver;
}

namespace orvanel::screens {

class BlendOverlayWindow : public forms::Form {
 public:
  // `monitor` is 0 to 3.
  BlendOverlayWindow(forms::Application& app, shell::Saver& saver, int monitor);
  int Monitor() const { return monitor_; }

 protected:
  void FormCreate() override;
  void FormCloseQuery(bool& canClose) override;

 private:
  shell::Saver& saver_;
  int monitor_;
};

}  // namespace orvanel::screens
