#pragma once
// TfrmSAVER, the saver's main window. Closing it ends the application. Per
// run mode it is the picture window of monitor 0 (Active), a child of the
// host's preview window (Preview) or the settings dialog (Config); in every
// mode it owns the slideshow timer.
#include "instance/saver.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/timer.h"
#include "settings/settings_dialog.h"
#include "slideshow/scheduler.h"

namespace orvanel::shell {

class TfrmSAVER : public forms::Form {
 public:
  TfrmSAVER(forms::Application& app, instance::Saver& saver);
  ~TfrmSAVER() override;

  // Members, in their designed order.
  forms::Timer tmrVISUAL;
  forms::Button& OKButton;
  forms::Button& CancelButton;
  forms::Label& Label1;
  forms::Edit& Edit1;
  forms::Label& Label2;
  forms::UpDown& UpDown1;
  forms::CheckBox& CheckBox1;  // Random
  forms::Panel& Panel1;
  forms::CheckBox& CheckBox2;  // Blend
  // The row below the designed controls: the pictures folder.
  // The photo rows below the designed controls, under their heading.
  forms::Label& PhotosLabel;
  forms::Label& FolderLabel;
  forms::Button& FolderButton;
  forms::Button& BuiltInButton;
  forms::Label& FolderCountLabel;
  forms::Label& CaptionLabel;
  forms::ChoiceList& CaptionList;
  forms::CheckBox& FillCheckBox;

 protected:
  void CreateParams(forms::WindowCreationParams& params) override;
  void FormCreate() override;
  void FormCloseQuery(bool& canClose) override;
  bool FormMessage(const platform::Message& message) override;
  void FormMouseMove(std::int32_t x, std::int32_t y) override;
  void FormMouseDown(forms::MouseButton button, std::int32_t x, std::int32_t y) override;
  void FormKeyDown(std::uint16_t key) override;
  void FormKeyPress(char key) override;
  void ControlClicked(forms::Control& control) override;

 private:
  // Reads the settings file into SpeedSeconds, the controls and the timer.
  void LoadSettings();
  void SetUpPreview();
  void SetUpActive();
  void SetUpConfig();

  instance::Saver& saver_;
  slideshow::Scheduler scheduler_;
  settings::SettingsDialog dialog_;
};

}  // namespace orvanel::shell
