// The native desktop's software compositing, seen on a real X display
// without a compositing manager: screen captures during the first two
// dissolves of a sequential run (pictures 0 and 1, which fill the 1024 x 768
// monitor exactly).
//   At rest: the screen shows the picture exactly as the saver's own picture
//            path makes it (decoded and fitted on the simulated desktop).
//   Mid-dissolve: every capture between the two pictures is their blend at
//            one opacity, within one level per channel.
//   Timeline: each dissolve after the first starts on a whole multiple of the
//            period; the ticks that fell inside a presentation were dropped.
#include <cmath>
#include <optional>

#include "native/native_test.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_drawing.h"
#include "platform/sim/sim_process.h"
#include "slideshow/picture_source.h"

namespace orvanel::native {
namespace {

constexpr int kStep = 8;  // every eighth pixel each way

// A capture cut down to a grid, channels apart.
struct Frame {
  std::vector<std::uint8_t> channels;
  bool operator==(const Frame&) const = default;
};

Frame OnGrid(const Capture& capture) {
  Frame frame;
  for (int y = 0; y < capture.height; y += kStep) {
    for (int x = 0; x < capture.width; x += kStep) {
      const std::uint32_t c = capture.At(x, y);
      frame.channels.push_back(static_cast<std::uint8_t>(c >> 16));
      frame.channels.push_back(static_cast<std::uint8_t>(c >> 8));
      frame.channels.push_back(static_cast<std::uint8_t>(c));
    }
  }
  return frame;
}

// The picture as the saver's picture path makes it for a 1024 x 768 monitor.
Frame Expected(int number) {
  platform::sim::SimDesktop desktop;
  platform::sim::SimProcess process(desktop, "orvanel.scr");
  const auto fitted = slideshow::FitPicture(process, slideshow::LoadPicture(process, number), 1024, 768);
  const auto& pixels = static_cast<const platform::sim::SimBitmap&>(*fitted.bitmap).Pixels();
  Frame frame;
  for (int y = 0; y < 768; y += kStep) {
    for (int x = 0; x < 1024; x += kStep) {
      const platform::ColorRef c = pixels[static_cast<std::size_t>(y) * 1024 + x];
      frame.channels.push_back(platform::RedOf(c));
      frame.channels.push_back(platform::GreenOf(c));
      frame.channels.push_back(platform::BlueOf(c));
    }
  }
  return frame;
}

// The opacity at which `mid` is the blend of `below` and `top`, if it is one
// within a level per channel.
std::optional<int> BlendOpacity(const Frame& below, const Frame& top, const Frame& mid) {
  double num = 0, den = 0;
  for (std::size_t i = 0; i < mid.channels.size(); ++i) {
    const double d = top.channels[i] - below.channels[i];
    num += d * (mid.channels[i] - below.channels[i]);
    den += d * d;
  }
  if (den == 0) return std::nullopt;
  const int guess = static_cast<int>(std::lround(255 * num / den));
  for (int alpha = std::max(0, guess - 2); alpha <= std::min(255, guess + 2); ++alpha) {
    bool close = true;
    for (std::size_t i = 0; i < mid.channels.size() && close; ++i) {
      const double exact = (top.channels[i] * alpha + below.channels[i] * (255.0 - alpha)) / 255.0;
      close = std::abs(mid.channels[i] - exact) <= 1.0;
    }
    if (close) return alpha;
  }
  return std::nullopt;
}

using NativeCompositing = NativeTest;

TEST_F(NativeCompositing, CapturesShowThePicturesExactlyAndTheirBlendBetween) {
  StoreSettings("[Config]\nSpeed=3\nRandom=0\nBlend=1\n");
  const Frame first = Expected(0);
  const Frame second = Expected(1);
  ASSERT_NE(first, second);

  const pid_t pid = Launch({"/s"});
  std::vector<Frame> frames;
  const auto start = std::chrono::steady_clock::now();
  bool sawSecond = false;
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(14)) {
    frames.push_back(OnGrid(CaptureScreen(0, 0, 1024, 768)));
    if (frames.back() == second) {
      sawSecond = true;
      break;
    }
  }
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);

  ASSERT_TRUE(sawSecond) << "picture 1 never showed exactly";
  const auto firstAt = std::find(frames.begin(), frames.end(), first);
  ASSERT_NE(firstAt, frames.end()) << "picture 0 never showed exactly";
  const auto lastFirst = std::find(std::make_reverse_iterator(frames.end()),
                                   std::make_reverse_iterator(firstAt), first);
  int blends = 0;
  for (auto it = lastFirst.base(); it + 1 < frames.end(); ++it) {
    const auto alpha = BlendOpacity(first, second, *it);
    EXPECT_TRUE(alpha.has_value()) << "capture " << (it - frames.begin()) << " is no blend of the two";
    if (alpha && *alpha > 0 && *alpha < 255) ++blends;
  }
  EXPECT_GE(blends, 5) << "too few captures inside the dissolve";
}

TEST_F(NativeCompositing, DissolvesStartOnWholePeriods) {
  StoreSettings("[Config]\nSpeed=2\nRandom=0\nBlend=1\n");
  const pid_t pid = Launch({"/s"});
  // When the screen starts to change after resting for a while: the start of
  // a dissolve (its second half changes nothing on the screen).
  std::vector<double> onsets;
  const auto start = std::chrono::steady_clock::now();
  const auto seconds = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  Frame previous = OnGrid(CaptureScreen(0, 0, 1024, 768));
  double lastChange = 0;
  while (seconds() < 21) {
    Frame frame = OnGrid(CaptureScreen(0, 0, 1024, 768));
    if (frame != previous) {
      if (seconds() - lastChange > 0.4) onsets.push_back(seconds());
      lastChange = seconds();
      previous = std::move(frame);
    }
  }
  Xdotool("key a");
  EXPECT_EQ(AwaitExit(pid, 3000), 0);

  // The first onset is the first picture, right after the opening fade; from
  // the second on they follow the timer.
  ASSERT_GE(onsets.size(), 3u) << "too few dissolves seen";
  for (std::size_t i = 2; i < onsets.size(); ++i) {
    const double gap = onsets[i] - onsets[i - 1];
    const double periods = gap / 2.0;
    EXPECT_NEAR(periods, std::round(periods), 0.15) << "dissolve " << i << " came " << gap << " s after the one before";
    // A presentation lasts about 3.7 s: a tick queued inside it would start
    // the next one at once, before two periods.
    EXPECT_GE(std::round(periods), 2.0) << "dissolve " << i;
  }
}

}  // namespace
}  // namespace orvanel::native
