#pragma once
// TfrmSAVERbl..TfrmSAVERbl4: the blend overlays, one over each monitor's
// picture window, fully transparent at rest; the presenter fades a new
// picture in on them.
#include "screens/screen_window.h"

namespace orvanel::screens {

class BlendOverlayWindow : public ScreenWindow {
 public:
  // `monitor` is 0 to 3.
  BlendOverlayWindow(forms::Application& app, instance::Saver& saver, int monitor);

 protected:
  void CreateParams(forms::WindowCreationParams& params) override;
  void FormCreate() override;

 private:
  void CoverPreview();
};

}  // namespace orvanel::screens
