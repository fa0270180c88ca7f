#include "shell/main_window.h"

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/forms/application.h"
#include "platform/window_styles.h"
#include "resources/maker.h"
#include "screens/dismissal.h"
#include "settings/settings_file.h"
#include "shell/command_line.h"
#include "shell/mode_mutex.h"
#include "slideshow/picture_count.h"

namespace orvanel::shell {
namespace {

using platform::Rect;

constexpr forms::FormDesign kDesign{
    .className = "TfrmSAVER",
    .name = "frmSAVER",
    .border = forms::BorderStyle::kNone,
    .color = platform::kBlack,
    .alphaBlend = true,
    .alphaBlendValue = 0,
    .clientWidth = 237,
    .clientHeight = 212,
    .topmost = false,
    .keyPreview = true,
    .placement = forms::Placement::kScreenCenter,
};

// The point the cursor is parked at in Active mode.
constexpr platform::Point kCursorPark{101, 101};

}  // namespace

TfrmSAVER::TfrmSAVER(forms::Application& app, instance::Saver& saver)
    : Form(app, kDesign),
      tmrVISUAL(app, [this] { scheduler_.tmrVISUALTimer(); }),
      OKButton(AddControl<forms::Button>("OKButton", Rect::FromBounds(16, 106, 75, 21), "&OK")),
      CancelButton(AddControl<forms::Button>("CancelButton", Rect::FromBounds(140, 106, 75, 21),
                                             "&Cancel")),
      Label1(AddControl<forms::Label>("Label1", Rect::FromBounds(20, 186, 32, 13), "Label1")),
      Edit1(AddControl<forms::Edit>("Edit1", Rect::FromBounds(54, 12, 41, 19), "8")),
      Label2(AddControl<forms::Label>("Label2", Rect::FromBounds(14, 14, 34, 13), "Speed:")),
      UpDown1(AddControl<forms::UpDown>("UpDown1", Rect::FromBounds(95, 12, 16, 19), Edit1, 4, 500,
                                        8)),
      CheckBox1(AddControl<forms::CheckBox>("CheckBox1", Rect::FromBounds(16, 42, 199, 17),
                                            "Show random images")),
      Panel1(AddControl<forms::Panel>("Panel1", Rect::FromBounds(16, 142, 201, 21),
                                      resources::kMakerAddress)),
      CheckBox2(AddControl<forms::CheckBox>("CheckBox2", Rect::FromBounds(16, 72, 201, 17),
                                            "Blend ")),
      PhotosLabel(AddControl<forms::Label>("PhotosLabel", Rect::FromBounds(16, 174, 201, 13), "Photos")),
      FolderLabel(AddControl<forms::Label>("FolderLabel", Rect::FromBounds(16, 198, 92, 13),
                                           settings::kBuiltInPicturesCaption)),
      FolderButton(AddControl<forms::Button>("FolderButton", Rect::FromBounds(110, 194, 52, 21),
                                             "&Folder...")),
      BuiltInButton(AddControl<forms::Button>("BuiltInButton", Rect::FromBounds(165, 194, 52, 21),
                                              "Built-&in")),
      FolderCountLabel(AddControl<forms::Label>("FolderCountLabel", Rect::FromBounds(16, 221, 205, 13), "")),
      CaptionLabel(AddControl<forms::Label>("CaptionLabel", Rect::FromBounds(16, 246, 50, 13), "Caption:")),
      CaptionList(AddControl<forms::ChoiceList>(
          "CaptionList", Rect::FromBounds(70, 242, 147, 21),
          std::vector<std::string>(std::begin(settings::kCaptionChoices), std::end(settings::kCaptionChoices)))),
      FillCheckBox(AddControl<forms::CheckBox>("FillCheckBox", Rect::FromBounds(16, 269, 201, 17),
                                               "Photos fill the screen")),
      saver_(saver),
      scheduler_(saver, *this, tmrVISUAL),
      dialog_(*this,
              settings::SettingsControls{OKButton, CancelButton, Edit1, Label2, UpDown1, CheckBox1, Panel1,
                                         CheckBox2, PhotosLabel, FolderLabel, FolderButton, BuiltInButton, FolderCountLabel,
                                         CaptionLabel, CaptionList, FillCheckBox},
              [this, &saver](const std::string& folder) -> settings::PictureCountStep {
                auto count = std::make_shared<slideshow::FolderPictureCount>(saver, folder, Handle());
                return [count](std::size_t& found) {
                  const bool done = count->LookFurther();
                  found = count->Found();
                  return done;
                };
              }) {
  saver_.randomCheckBox = &CheckBox1;
  saver_.blendCheckBox = &CheckBox2;
  tmrVISUAL.SetEnabled(false);
  tmrVISUAL.SetInterval(10000);
  CheckBox1.SetChecked(true);
  CheckBox2.SetChecked(false);
}

TfrmSAVER::~TfrmSAVER() {
  // The instance outlives its windows; it keeps no way to the check boxes.
  saver_.randomCheckBox = nullptr;
  saver_.blendCheckBox = nullptr;
  saver_.frmSAVER = nullptr;
}

void TfrmSAVER::CreateParams(forms::WindowCreationParams& params) {
  Form::CreateParams(params);
  if (!ParseCommandLine(saver_)) App().Terminate();
  if (saver_.saverMode != instance::SaverMode::kPreview) return;
  const Rect host = Desktop().WindowRect(saver_.previewParent);
  const Rect bounds = Rect::FromBounds(0, 0, host.Width(), host.Height());
  if (saver_.previewParent != platform::kNoWindow) {
    params.style = platform::kStyleChild | platform::kStyleVisible;
    params.bounds = bounds;
    params.parent = saver_.previewParent;
  }
  params.bounds = bounds;
}

void TfrmSAVER::FormCreate() {
  Desktop().ShowCursor(false);
  LoadSettings();
  switch (saver_.saverMode) {
    case instance::SaverMode::kPreview:
      SetUpPreview();
      break;
    case instance::SaverMode::kActive:
      SetUpActive();
      break;
    case instance::SaverMode::kConfig:
      SetUpConfig();
      break;
    default:
      break;
  }
}

void TfrmSAVER::LoadSettings() {
  auto loaded = settings::LoadSettings(Desktop());
  // The command line's settings hold for a run of the slideshow; the dialog
  // shows and stores the file's.
  if (saver_.saverMode != instance::SaverMode::kConfig) {
    const auto& overrides = saver_.overrides;
    loaded.speed = overrides.speed.value_or(loaded.speed);
    loaded.random = overrides.random.value_or(loaded.random);
    loaded.blend = overrides.blend.value_or(loaded.blend);
    loaded.folder = overrides.folder.value_or(loaded.folder);
    loaded.caption = overrides.caption.value_or(loaded.caption);
    loaded.fit = overrides.fit.value_or(loaded.fit);
  }
  saver_.speedSeconds = loaded.speed;
  saver_.picturesFolder = loaded.folder;
  saver_.caption = loaded.caption;
  saver_.fit = loaded.fit;
  dialog_.ShowSettings(loaded);
  tmrVISUAL.SetInterval(settings::SlideshowInterval(loaded.speed));
}

void TfrmSAVER::SetUpPreview() {
  if (!CreateModeMutex(saver_)) {
    Close();
    return;
  }
  Desktop().ShowCursor(true);
  scheduler_.StartSlideshow();
}

void TfrmSAVER::SetUpActive() {
  if (!CreateModeMutex(saver_)) {
    Close();
    return;
  }
  auto& desktop = Desktop();
  desktop.ShowCursor(false);
  if (saver_.ParksPointer()) desktop.SetCursorPos(kCursorPark);
  // The window covers monitor 0 exactly, whatever that monitor's size: the
  // primary display's size would leave part of a differently sized monitor 0
  // bare or spill onto its neighbour.
  const Rect monitor = saver_.monitors.empty() ? Rect{} : saver_.monitors.front();
  SetBounds(monitor.left, monitor.top, monitor.Width(), monitor.Height());
  GetCanvas().SetBrushColor(platform::kBlack);
  // Shown here, where it stays: the rule that centres a window on the primary
  // screen at its first showing would shift a monitor 0 of another size off
  // its monitor.
  PlaceWindow(platform::kInsertTop, platform::kPosNoZOrder | platform::kPosShowWindow);
  // Over the monitors nothing but the saver may take a key or a click; a
  // host's window or the try-out window leaves the input to the desktop.
  if (desktop.Host() == platform::ScreenHost::kMonitors) App().CaptureInput(Handle());
  scheduler_.StartSlideshow();
}

void TfrmSAVER::SetUpConfig() {
  Desktop().ShowCursor(true);
  dialog_.Open();
}

void TfrmSAVER::FormCloseQuery(bool& canClose) {
  saver_.quitRequested = true;
  ReleaseModeMutex(saver_);
  if (saver_.saverMode == instance::SaverMode::kConfig) dialog_.Closing();
  Desktop().ShowCursor(true);
  canClose = true;
}

void TfrmSAVER::FormMouseMove(std::int32_t x, std::int32_t y) {
  screens::MouseInput(saver_, screens::ActingWindow{0, true}, x, y);
}

void TfrmSAVER::FormMouseDown(forms::MouseButton, std::int32_t x, std::int32_t y) {
  screens::MouseInput(saver_, screens::ActingWindow{0, true}, x, y);
}

void TfrmSAVER::FormKeyDown(std::uint16_t) {
  screens::KeyInput(saver_, screens::ActingWindow{0, true});
}

void TfrmSAVER::FormKeyPress(char) { screens::KeyInput(saver_, screens::ActingWindow{0, true}); }

void TfrmSAVER::ControlClicked(forms::Control& control) { dialog_.ControlClicked(control); }

bool TfrmSAVER::FormMessage(const platform::Message& message) {
  if (message.id == instance::WM_PICTURESREAD) {
    if (saver_.pictureReading) saver_.pictureReading->Deliver(message.wParam);
    return true;
  }
  if (message.id != slideshow::WM_DOJOB) return false;
  scheduler_.WMDoJob(message);
  return true;
}

}  // namespace orvanel::shell
