#pragma once
// The settings dialog: the main window in Config mode, with the seconds per
// picture, the two check boxes, OK, Cancel and the maker's panel, and below
// them a row for the pictures folder. OK writes the settings and closes;
// Cancel closes and writes nothing. While it
// is open the desktop's "Display Properties" window, when there is one, is
// disabled.
#include <cstdint>
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
  forms::Label& FolderLabel;
  forms::Button& FolderButton;
  forms::Button& BuiltInButton;
};

// What the folder row says without a folder.
inline constexpr const char* kBuiltInPicturesCaption = "Built-in pictures";
// The client height the row adds below the designed controls.
inline constexpr std::int32_t kFolderRowHeight = 30;

// The folder row's short caption: the folder's own name, cut to fit.
std::string FolderCaption(const std::string& folder);

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
  void FolderButtonClick();
  void BuiltInButtonClick();

 private:
  forms::Form& form_;
  SettingsControls controls_;
  void SetFolder(std::string folder);

  std::string folder_;  // the pictures folder, as loaded or as chosen
};

// Disables (lock) or enables the desktop's "Display Properties" window, when
// there is one, while the settings dialog is open.
void LockDisplayProperties(platform::Desktop& desktop, bool lock);

}  // namespace orvanel::settings
