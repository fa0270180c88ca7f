#pragma once
// TfrmSAVER2..TfrmSAVER4: the picture windows of monitors 1 to 3. Monitor 0
// has none; the main window serves it.
#include "screens/screen_window.h"

namespace orvanel::screens {

class MonitorPictureWindow : public ScreenWindow {
 public:
  // `monitor` is 1, 2 or 3.
  MonitorPictureWindow(forms::Application& app, instance::Saver& saver, int monitor);

 protected:
  void FormCreate() override;
};

}  // namespace orvanel::screens
