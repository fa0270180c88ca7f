#include "shell/main_window.h"

#include <algorithm>

#include "platform/forms/application.h"
#include "platform/forms/error.h"
#include "platform/forms/monitors.h"
#include "platform/window_styles.h"
#include "resources/maker.h"
#include "screens/dismissal.h"
#include "settings/settings_dialog.h"
#include "settings/settings_file.h"
#include "shell/command_line.h"
#include "shell/mode_mutex.h"
#include "shell/saver.h"
#include "slideshow/showimg.h"

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

// Preview pictures go to the top-left corner of the host window, whatever its size.
constexpr Rect kPreviewArea{0, 0, 152, 112};

}  // namespace

TfrmSAVER::TfrmSAVER(forms::Application& app, Saver& saver)
    : Form(app, kDesign),
      tmrVISUAL(app, [this] { tmrVISUALTimer(); }),
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
      saver_(saver) {
  tmrVISUAL.SetEnabled(false);
  tmrVISUAL.SetInterval(10000);
  CheckBox1.SetChecked(true);
  CheckBox2.SetChecked(false);
}

void TfrmSAVER::CreateParams(forms::CreateParamsRec& params) {
  Form::CreateParams(params);
  if (!ParseCommandLine(saver_)) App().Terminate();
  if (saver_.saverMode != SaverMode::kPreview) return;
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
    case SaverMode::kPreview:
      SetUpPreview();
      break;
    case SaverMode::kActive:
      SetUpActive();
      break;
    case SaverMode::kConfig:
      SetUpConfig();
      break;
    default:
      break;
  }
}

void TfrmSAVER::LoadSettings() {
  const auto loaded = settings::LoadSettings(Desktop());
  saver_.speedSeconds = loaded.speed;
  // The arrows take the number first, so that the edit shows the stored
  // number even where it lies outside the arrows' range.
  UpDown1.SetPosition(static_cast<std::int16_t>(loaded.speed & 0xFFFF));
  Edit1.SetText(std::to_string(loaded.speed));
  CheckBox1.SetChecked(loaded.random);
  CheckBox2.SetChecked(loaded.blend);
  tmrVISUAL.SetInterval(settings::SlideshowInterval(loaded.speed));
}

void TfrmSAVER::SetUpPreview() {
  if (!CreateModeMutex(saver_)) {
    Close();
    return;
  }
  Desktop().ShowCursor(true);
  StartSlideshow();
}

void TfrmSAVER::SetUpActive() {
  if (!CreateModeMutex(saver_)) {
    Close();
    return;
  }
  auto& desktop = Desktop();
  desktop.ShowCursor(false);
  desktop.SetCursorPos(kCursorPark);
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
  StartSlideshow();
}

void TfrmSAVER::SetUpConfig() {
  auto& desktop = Desktop();
  desktop.ShowCursor(true);
  const auto windowColour = desktop.SystemColor(platform::kSystemColorWindow);
  SetColor(windowColour);
  GetCanvas().SetBrushColor(windowColour);
  SetBorderStyle(forms::BorderStyle::kDialog);
  Show();
  SetAlphaBlendValue(255);
  for (forms::Control* control : std::initializer_list<forms::Control*>{
           &CancelButton, &OKButton, &CheckBox1, &CheckBox2, &Edit1, &UpDown1, &Label2, &Panel1}) {
    control->SetVisible(true);
  }
  // The first control in the tab order has the focus when the dialog opens.
  desktop.FocusWindow(OKButton.Handle());
  settings::LockDisplayProperties(desktop, true);
}

void TfrmSAVER::FormCloseQuery(bool& canClose) {
  saver_.quitRequested = true;
  ReleaseModeMutex(saver_);
  if (saver_.saverMode == SaverMode::kConfig) settings::LockDisplayProperties(Desktop(), false);
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

void TfrmSAVER::ControlClicked(forms::Control& control) {
  if (&control == &OKButton) {
    OKButtonClick();
  } else if (&control == &CancelButton) {
    CancelButtonClick();
  } else if (&control == &Panel1) {
    Panel1Click();
  }
}

void TfrmSAVER::OKButtonClick() {
  // The folder is made first, even when the number proves invalid.
  settings::ForceFolders(Desktop(), settings::SettingsFolder(Desktop()));
  const std::string typed = Edit1.Text();
  const auto speed = settings::ParseInteger(typed);
  if (!speed) {
    throw forms::SaverError(forms::FormatMessage("'%s' is not a valid integer value", typed));
  }
  settings::SaveSettings(Desktop(), settings::Settings{*speed, CheckBox1.Checked(), CheckBox2.Checked()});
  Close();
}

void TfrmSAVER::CancelButtonClick() { Close(); }

void TfrmSAVER::Panel1Click() { Desktop().ShellOpen(resources::kMakerAddress); }

void TfrmSAVER::StartSlideshow() {
  tmrVISUALTimer();
  tmrVISUAL.SetEnabled(true);
}

bool TfrmSAVER::FormMessage(const platform::Message& message) {
  if (message.id != WM_DOJOB) return false;
  WMDoJob(message);
  return true;
}

void TfrmSAVER::WMDoJob(const platform::Message&) {
  // The error box of a failed job runs its own message loop; a job inside it
  // would fail again and open box after box.
  if (App().ReportingError()) return;
  // A job that was queued before the mode changed (a lost preview host reads
  // the command line again as None) draws nothing.
  if (saver_.saverMode == SaverMode::kPreview) {
    PreviewJob();
  } else if (saver_.saverMode == SaverMode::kActive) {
    MonitorJob();
  }
}

void TfrmSAVER::PreviewJob() {
  // The host window's drawing context, taken for this job alone.
  const auto previewDC = Desktop().WindowContext(saver_.previewParent);
  if (!previewDC) return;
  forms::Canvas previewCanvas(Desktop(), *previewDC);
  previewCanvas.SetPenColor(platform::kWhite);
  previewCanvas.SetBrushColor(platform::kBlack);
  slideshow::ShowPicture(saver_, previewCanvas, kPreviewArea, saver_.picturePool,
                         slideshow::PictureCount, saver_.pictureIndex, slideshow::PreviewTarget);
}

void TfrmSAVER::MonitorJob() {
  // Monitors beyond those that got windows at start take no turn.
  const int monitors = std::min(forms::MonitorCount(Desktop()), saver_.MonitorsWithWindows());
  if (saver_.currentMonitor >= monitors) saver_.currentMonitor = 0;
  forms::Form* window = saver_.PictureWindow(saver_.currentMonitor);
  if (window == nullptr) return;
  saver_.targetRect = window->ClientRect();
  if (!saver_.presenterBusy &&
      slideshow::ShowPicture(saver_, window->GetCanvas(), saver_.targetRect, saver_.picturePool,
                             slideshow::PictureCount, saver_.pictureIndex, saver_.currentMonitor)) {
    ++saver_.currentMonitor;
  }
  if (saver_.currentMonitor >= monitors) saver_.currentMonitor = 0;
}

void TfrmSAVER::tmrVISUALTimer() {
  if (saver_.quitRequested) {
    tmrVISUAL.SetEnabled(false);
    return;
  }
  if (saver_.presenterBusy) return;
  Desktop().PostToWindow(Handle(), WM_DOJOB, 0, 0);
}

}  // namespace orvanel::shell
