#include "screens/screen_window.h"

#include "shell/saver.h"

namespace orvanel::screens {

void ScreenWindow::FormCloseQuery(bool& canClose) {
  saver_.quitRequested = true;
  canClose = true;
}

}  // namespace orvanel::screens
