#pragma once
// One saver instance: the process-wide state of the saver, kept in one
// object so that two instances can share a simulated desktop and every test
// starts from a clean state. Everything here is used on the one
// user-interface thread; the flags are plain booleans.
//
// Every folder of the saver may include this module; it includes none of
// theirs. Windows are held as forms, whatever their class.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "instance/photo_display.h"
#include "instance/picture_reading.h"
#include "instance/saver_mode.h"
#include "platform/desktop.h"
#include "platform/forms/application.h"
#include "platform/forms/controls.h"
#include "platform/named_mutex.h"

namespace orvanel::instance {

// Windows per monitor index: the main window serves index 0.
inline constexpr int kMaxMonitors = 4;

// PreviewParent's value when the command line named no usable window.
inline constexpr platform::WindowHandle kNoUsableWindow = -1;

// Settings given on the command line for one run, over those of the file;
// the file is not written with them.
struct SettingsOverride {
  std::optional<std::int32_t> speed;
  std::optional<bool> random;
  std::optional<bool> blend;
  std::optional<std::string> folder;
  std::optional<CaptionKind> caption;
  std::optional<FitMode> fit;
};

struct Saver {
  explicit Saver(platform::Desktop& desktop) : desktop(desktop), app(desktop) {}
  Saver(const Saver&) = delete;
  Saver& operator=(const Saver&) = delete;

  platform::Desktop& desktop;

  SaverMode saverMode = SaverMode::kPassword;
  platform::WindowHandle previewParent = platform::kNoWindow;
  bool quitRequested = false;
  bool presenterBusy = false;
  std::int32_t speedSeconds = 8;
  SettingsOverride overrides;
  platform::NamedMutex modeMutex;
  // The monitors as the desktop listed them at start-up, in its order.
  std::vector<platform::Rect> monitors;

  // The user's pictures folder as the settings give it (empty: the built-in
  // pictures). While its photos are shown (pictureReading below is set):
  // its files as the walk has found them so far, in name order, which of
  // them cannot be shown, and whether the walk is over; the request the
  // reader works on, and its answer once delivered; and the target and area
  // of the picture after the one being presented (its index unused), whose
  // photo is read while this one comes in and rests.
  std::string picturesFolder;
  std::vector<std::string> pictureFiles;
  std::vector<bool> unusablePictures;
  bool pictureWalkDone = false;
  std::optional<PictureRequest> pictureAsked;
  std::optional<ReadPicture> pictureRead;
  std::uint64_t pictureDeliveries = 0;
  std::optional<PictureRequest> nextPictureFor;
  // How the folder's photos are shown, and the corner of each target (a
  // monitor index or a canvas target) its next caption goes to: a caption
  // moves on with every picture, so that none stays long enough to burn in.
  CaptionKind caption = CaptionKind::kNone;
  FitMode fit = FitMode::kFit;
  std::map<std::int32_t, int> captionCorners;

  // Picture numbers, as decimal texts, not yet shown in this cycle.
  std::vector<std::string> picturePool;
  std::int32_t pictureIndex = 0;
  std::int32_t currentMonitor = 0;
  // The client rectangle of the monitor window the current job draws on.
  platform::Rect targetRect;
  platform::Point firstMousePos;
  std::uint32_t randomSeed = 0;

  // Declared after the state the forms read, so that the forms go first.
  forms::Application app;

  // The windows, empty until created; index 0 of pictureWindows stays empty
  // as the main window serves monitor 0.
  forms::Form* frmSAVER = nullptr;
  std::array<forms::Form*, kMaxMonitors> pictureWindows{};
  std::array<forms::Form*, kMaxMonitors> overlays{};

  // The Random and Blend settings are the check states of the main window's
  // check boxes, which the user may change while the dialog shows; empty
  // until the main window is built.
  const forms::CheckBox* randomCheckBox = nullptr;
  const forms::CheckBox* blendCheckBox = nullptr;

  // Whether the next picture is taken at random from the pool, and whether
  // it comes in as a dissolve.
  bool RandomOrder() const;
  bool Dissolve() const;

  // Whether the saver may move the pointer (park it out of the way). Only
  // on the monitors it owns: inside another program's window, or in a
  // try-out window, a move would count as the user's and end that program's
  // saver or disturb the user's desktop.
  bool ParksPointer() const;

  // The window that shows monitor `index`'s pictures (0 to 3), and its
  // overlay; null where none was made.
  forms::Form* PictureWindow(int index) const;
  forms::Form* Overlay(int index) const;
  // How many monitors have windows: the main window's and those made at start.
  int MonitorsWithWindows() const;

  // The reader of the folder's photos, while they are shown. Last, so that
  // its work stops before anything else of the instance goes.
  std::unique_ptr<PictureReading> pictureReading;
};

}  // namespace orvanel::instance
