#pragma once
// The settings dialog: the main window in Config mode, with the seconds per
// picture, the two check boxes, OK, Cancel and the maker's panel. OK writes
// the three settings and closes; Cancel closes and writes nothing. While it
// is open the desktop's "Display Properties" window, when there is one, is
// disabled.
#include <string>

#include "platform/desktop.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "settings/settings_file.h"

namespace orvanel::settings {

// The dialog's controls, members of the form that becomes the dialog.
struct SettingsControls {
  forms::Button& OKButton;
  forms::Button& CancelButton;
  forms::Edit& Edit1;
  forms::Label& Label2;
  forms::UpDown& UpDown1;
  forms::CheckBox& CheckBox1;  // Random
  forms::Panel& Panel1;
  forms::CheckBox& CheckBox2;  // Blend
};

class SettingsDialog {
 public:
  SettingsDialog(forms::Form& form, SettingsControls controls) : form_(form), controls_(controls) {}
  SettingsDialog(const SettingsDialog&) = delete;
  SettingsDialog& operator=(const SettingsDialog&) = delete;

  // Puts the settings as loaded into the controls, in every mode: the check
  // boxes hold Random and Blend for the slideshow too.
  void ShowSettings(const Settings& loaded);
  // Turns the form into the dialog: the window's colour, a dialog's border,
  // the controls shown, the focus on OK, "Display Properties" disabled.
  void Open();
  // The dialog is closing: "Display Properties" is enabled again.
  void Closing();
  // OK, Cancel or the panel; false for any other control.
  bool ControlClicked(forms::Control& control);

  void OKButtonClick();
  void CancelButtonClick();
  void Panel1Click();

 private:
  forms::Form& form_;
  SettingsControls controls_;
  std::string folder_;  // the pictures folder, as loaded or as chosen
};

// Disables (lock) or enables the desktop's "Display Properties" window, when
// there is one, while the settings dialog is open.
void LockDisplayProperties(platform::Desktop& desktop, bool lock);

}  // namespace orvanel::settings
