#pragma once
// TfrmSAVER2..TfrmSAVER4: the picture windows of monitors 1 to 3. Monitor 0
// has none; the main window serves it.
#include "platform/forms/form.h"

namespace orvanel::shell {
struct Saver;
}

namespace orvanel::screens {

class MonitorPictureWindow : public forms::Form {
 public:
  // `monitor` is 1, 2 or 3.
  MonitorPictureWindow(forms::Application& app, shell::Saver& saver, int monitor);
  int Monitor() const { return monitor_; }

 protected:
  void FormCreate() override;
  void FormCloseQuery(bool& canClose) override;

 private:
  shell::Saver& saver_;
  int monitor_;
};

}  // namespace orvanel::screens
