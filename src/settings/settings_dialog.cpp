#include "settings/settings_dialog.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "platform/folder_names.h"
#include "platform/forms/error.h"
#include "resources/maker.h"

namespace orvanel::settings {

void SettingsDialog::ShowSettings(const Settings& loaded) {
  // The arrows take the number first, so that the edit shows the stored
  // number even where it lies outside the arrows' range.
  controls_.UpDown1.SetPosition(static_cast<std::int16_t>(loaded.speed & 0xFFFF));
  controls_.Edit1.SetText(std::to_string(loaded.speed));
  controls_.CheckBox1.SetChecked(loaded.random);
  controls_.CheckBox2.SetChecked(loaded.blend);
  SetFolder(loaded.folder);
  controls_.CaptionList.SetChosen(static_cast<std::int32_t>(loaded.caption));
  controls_.FillCheckBox.SetChecked(loaded.fit == instance::FitMode::kFill);
}

void SettingsDialog::SetFolder(std::string folder) {
  folder_ = std::move(folder);
  controls_.FolderLabel.SetText(FolderCaption(folder_));
  if (open_) StartCounting();
}

void SettingsDialog::StartCounting() {
  countStep_ = folder_.empty() ? PictureCountStep() : startCount_(folder_);
  controls_.FolderCountLabel.SetText(countStep_ ? kCountingCaption : "");
  if (!countStep_) {
    if (countTimer_) countTimer_->SetEnabled(false);
    return;
  }
  if (!countTimer_) {
    countTimer_.emplace(form_.App(), [this] { CountFurther(); });
    countTimer_->SetInterval(forms::kTimerMinimumMs);
  }
  countTimer_->SetEnabled(true);
}

void SettingsDialog::CountFurther() {
  std::size_t found = 0;
  if (!countStep_ || !countStep_(found)) return;
  countTimer_->SetEnabled(false);
  countStep_ = nullptr;
  controls_.FolderCountLabel.SetText(PictureCountCaption(found));
}

std::string PictureCountCaption(std::size_t found) {
  if (found == 0) return "No pictures: built-in ones will show";
  return found == 1 ? "1 picture" : std::to_string(found) + " pictures";
}

std::string FolderCaption(const std::string& folder) {
  if (folder.empty()) return kBuiltInPicturesCaption;
  std::string name = platform::FolderName(folder);
  // About what the row's label holds at the dialog's font.
  constexpr std::size_t kLongest = 14;
  if (name.size() > kLongest) name = name.substr(0, kLongest - 3) + "...";
  return name;
}

void SettingsDialog::Open() {
  auto& desktop = form_.Desktop();
  const auto windowColour = desktop.SystemColor(platform::kSystemColorWindow);
  form_.SetColor(windowColour);
  form_.GetCanvas().SetBrushColor(windowColour);
  form_.SetBorderStyle(forms::BorderStyle::kDialog);
  form_.SetClientHeight(form_.Design().clientHeight + kPhotoSectionHeight);
  form_.Show();
  form_.SetAlphaBlendValue(255);
  for (forms::Control* control : std::initializer_list<forms::Control*>{
           &controls_.CancelButton, &controls_.OKButton, &controls_.CheckBox1, &controls_.CheckBox2,
           &controls_.Edit1, &controls_.UpDown1, &controls_.Label2, &controls_.Panel1,
           &controls_.PhotosLabel, &controls_.FolderLabel, &controls_.FolderButton, &controls_.BuiltInButton,
           &controls_.FolderCountLabel, &controls_.CaptionLabel, &controls_.CaptionList,
           &controls_.FillCheckBox}) {
    control->SetVisible(true);
  }
  // The first control in the tab order has the focus when the dialog opens.
  desktop.FocusWindow(controls_.OKButton.Handle());
  LockDisplayProperties(desktop, true);
  open_ = true;
  StartCounting();
}

void SettingsDialog::Closing() {
  open_ = false;
  if (countTimer_) countTimer_->SetEnabled(false);
  LockDisplayProperties(form_.Desktop(), false);
}

bool SettingsDialog::ControlClicked(forms::Control& control) {
  if (&control == &controls_.OKButton) {
    OKButtonClick();
  } else if (&control == &controls_.CancelButton) {
    CancelButtonClick();
  } else if (&control == &controls_.Panel1) {
    Panel1Click();
  } else if (&control == &controls_.FolderButton) {
    FolderButtonClick();
  } else if (&control == &controls_.BuiltInButton) {
    BuiltInButtonClick();
  } else {
    return false;
  }
  return true;
}

void SettingsDialog::OKButtonClick() {
  auto& desktop = form_.Desktop();
  // The folder is made first, even when the number proves invalid.
  ForceFolders(desktop, SettingsFolder(desktop));
  const std::string typed = controls_.Edit1.Text();
  const auto speed = ParseInteger(typed);
  if (!speed) {
    throw forms::SaverError(forms::FormatMessage("'%s' is not a valid integer value", typed));
  }
  // The list always has a choice; none at all would only come from a
  // desktop that lost it, and stores no caption.
  const std::int32_t chosen = controls_.CaptionList.Chosen();
  const auto caption = chosen > 0 ? static_cast<instance::CaptionKind>(chosen) : instance::CaptionKind::kNone;
  const auto fit = controls_.FillCheckBox.Checked() ? instance::FitMode::kFill : instance::FitMode::kFit;
  SaveSettings(desktop, Settings{*speed, controls_.CheckBox1.Checked(), controls_.CheckBox2.Checked(), folder_,
                                 caption, fit});
  form_.Close();
}

void SettingsDialog::CancelButtonClick() { form_.Close(); }

void SettingsDialog::Panel1Click() { form_.Desktop().ShellOpen(resources::kMakerAddress); }

void SettingsDialog::FolderButtonClick() {
  if (auto chosen = form_.Desktop().ChooseFolder(form_.Handle(), "Pictures folder", folder_)) {
    SetFolder(std::move(*chosen));
  }
}

void SettingsDialog::BuiltInButtonClick() { SetFolder(""); }

void LockDisplayProperties(platform::Desktop& desktop, bool lock) {
  const auto window = desktop.FindTopLevelWindow("Display Properties");
  if (window == platform::kNoWindow) return;
  desktop.EnableWindow(window, !lock);
}

}  // namespace orvanel::settings
