#pragma once
// The settings dialog: the main window in Config mode, with the seconds per
// picture, the two check boxes, OK, Cancel and the maker's panel, and below
// them a row for the pictures folder. OK writes the settings and closes;
// Cancel closes and writes nothing. While it
// is open the desktop's "Display Properties" window, when there is one, is
// disabled. Below the folder row, how many pictures the chosen folder holds,
// counted a slice at a time while the dialog goes on answering; below that,
// a row for the photos' caption and one for filling the screen.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/desktop.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/timer.h"
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
  forms::Label& PhotosLabel;  // the heading of the rows below
  forms::Label& FolderLabel;
  forms::Button& FolderButton;
  forms::Button& BuiltInButton;
  forms::Label& FolderCountLabel;
  forms::Label& CaptionLabel;
  forms::ChoiceList& CaptionList;  // none, the date, the date and the folder
  forms::CheckBox& FillCheckBox;
};

// Counts the pictures of a folder further, into `found`; true once done.
using PictureCountStep = std::function<bool(std::size_t& found)>;
// Starts counting the pictures of a folder as the slideshow would find them.
using StartPictureCount = std::function<PictureCountStep(const std::string& folder)>;

// What the folder row says without a folder.
inline constexpr const char* kBuiltInPicturesCaption = "Built-in pictures";
// The client height the photo rows add below the designed dialog: under
// their heading, the folder row and its count, the caption and fill rows.
inline constexpr std::int32_t kPhotoSectionHeight = 78;

// The caption list's items, in the order of the settings' values.
inline constexpr const char* kCaptionChoices[] = {"None", "Date taken", "Date and folder"};

// What the count says while it counts, and once it has counted.
inline constexpr const char* kCountingCaption = "Looking for pictures...";
std::string PictureCountCaption(std::size_t found);

// The folder row's short caption: the folder's own name, cut to fit.
std::string FolderCaption(const std::string& folder);

class SettingsDialog {
 public:
  SettingsDialog(forms::Form& form, SettingsControls controls, StartPictureCount startCount)
      : form_(form), controls_(controls), startCount_(std::move(startCount)) {}
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
  void SetFolder(std::string folder);
  // Counts the folder's pictures from the start, or says nothing without one.
  void StartCounting();
  void CountFurther();

  forms::Form& form_;
  SettingsControls controls_;
  StartPictureCount startCount_;
  std::string folder_;  // the pictures folder, as loaded or as chosen
  bool open_ = false;
  PictureCountStep countStep_;
  // Made when the dialog first counts: the other modes never need it.
  std::optional<forms::Timer> countTimer_;
};

// Disables (lock) or enables the desktop's "Display Properties" window, when
// there is one, while the settings dialog is open.
void LockDisplayProperties(platform::Desktop& desktop, bool lock);

}  // namespace orvanel::settings
