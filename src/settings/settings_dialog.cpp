#include "settings/settings_dialog.h"

#include <initializer_list>
#include <string>

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
  folder_ = loaded.folder;
}

void SettingsDialog::Open() {
  auto& desktop = form_.Desktop();
  const auto windowColour = desktop.SystemColor(platform::kSystemColorWindow);
  form_.SetColor(windowColour);
  form_.GetCanvas().SetBrushColor(windowColour);
  form_.SetBorderStyle(forms::BorderStyle::kDialog);
  form_.Show();
  form_.SetAlphaBlendValue(255);
  for (forms::Control* control : std::initializer_list<forms::Control*>{
           &controls_.CancelButton, &controls_.OKButton, &controls_.CheckBox1, &controls_.CheckBox2,
           &controls_.Edit1, &controls_.UpDown1, &controls_.Label2, &controls_.Panel1}) {
    control->SetVisible(true);
  }
  // The first control in the tab order has the focus when the dialog opens.
  desktop.FocusWindow(controls_.OKButton.Handle());
  LockDisplayProperties(desktop, true);
}

void SettingsDialog::Closing() { LockDisplayProperties(form_.Desktop(), false); }

bool SettingsDialog::ControlClicked(forms::Control& control) {
  if (&control == &controls_.OKButton) {
    OKButtonClick();
  } else if (&control == &controls_.CancelButton) {
    CancelButtonClick();
  } else if (&control == &controls_.Panel1) {
    Panel1Click();
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
  SaveSettings(desktop,
               Settings{*speed, controls_.CheckBox1.Checked(), controls_.CheckBox2.Checked(), folder_});
  form_.Close();
}

void SettingsDialog::CancelButtonClick() { form_.Close(); }

void SettingsDialog::Panel1Click() { form_.Desktop().ShellOpen(resources::kMakerAddress); }

void LockDisplayProperties(platform::Desktop& desktop, bool lock) {
  const auto window = desktop.FindTopLevelWindow("Display Properties");
  if (window == platform::kNoWindow) return;
  desktop.EnableWindow(window, !lock);
}

}  // namespace orvanel::settings
