#include "landscape.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "noise.h"

namespace orvanel::tools {
namespace {

// The times of day each kind is seen in, in turn.
std::array<TimeOfDay, 6> TimesFor(SceneKind kind) {
  using T = TimeOfDay;
  switch (kind) {
    case SceneKind::kLakeRange: return {T::kDawn, T::kMisty, T::kSunset, T::kMidday, T::kMoonlit, T::kGolden};
    case SceneKind::kAlpineValley: return {T::kMorning, T::kGolden, T::kOvercast, T::kDawn, T::kMidday, T::kSunset};
    case SceneKind::kCoast: return {T::kSunset, T::kMidday, T::kDawn, T::kOvercast, T::kGolden, T::kMoonlit};
    case SceneKind::kDunes: return {T::kGolden, T::kMidday, T::kDusk, T::kDawn, T::kMoonlit, T::kSunset};
    case SceneKind::kForest: return {T::kMisty, T::kGolden, T::kMorning, T::kOvercast, T::kDusk, T::kDawn};
    case SceneKind::kFields: return {T::kMidday, T::kGolden, T::kMorning, T::kSunset, T::kOvercast, T::kDawn};
    case SceneKind::kSnowfield: return {T::kMorning, T::kSunset, T::kOvercast, T::kMoonlit, T::kDawn, T::kMidday};
    case SceneKind::kCanyon: return {T::kGolden, T::kMidday, T::kSunset, T::kMorning, T::kDusk, T::kDawn};
    case SceneKind::kRiver: return {T::kMorning, T::kMisty, T::kGolden, T::kMidday, T::kSunset, T::kOvercast};
    case SceneKind::kAurora: return {T::kMoonlit, T::kMoonlit, T::kMoonlit, T::kMoonlit, T::kMoonlit, T::kMoonlit};
  }
  return {};
}

// Summer, autumn, winter and spring light by kind: snow is winter's.
float WarmthFor(SceneKind kind, int visit) {
  if (kind == SceneKind::kSnowfield || kind == SceneKind::kAurora) return -1.0f;
  constexpr std::array<float, 4> kSeasons{0.6f, 0.2f, -0.4f, 0.0f};
  return kSeasons[static_cast<std::size_t>(visit) % kSeasons.size()];
}

}  // namespace

ScenePlan PlanFor(int number) {
  // Neighbours in the collection are of different kinds, so that the
  // pictures shown in order change scene every time.
  const auto kind = static_cast<SceneKind>(number % kSceneKinds);
  const int visit = number / kSceneKinds;
  return ScenePlan{kind, visit, TimesFor(kind)[static_cast<std::size_t>(visit) % 6], WarmthFor(kind, visit),
                   Hash(static_cast<std::uint32_t>(number) * 7919U + 1U)};
}

const char* SceneName(SceneKind kind) {
  switch (kind) {
    case SceneKind::kLakeRange: return "lake and ranges";
    case SceneKind::kAlpineValley: return "alpine valley";
    case SceneKind::kCoast: return "coast";
    case SceneKind::kDunes: return "dunes";
    case SceneKind::kForest: return "forest";
    case SceneKind::kFields: return "fields";
    case SceneKind::kSnowfield: return "snowfield";
    case SceneKind::kCanyon: return "canyon";
    case SceneKind::kRiver: return "river";
    case SceneKind::kAurora: return "aurora";
  }
  return "";
}

Canvas PaintPicture(int number, int width, int height) {
  const ScenePlan plan = PlanFor(number);
  Pcg32 random(plan.seed);
  const Daylight light = MakeDaylight(plan.time, random, plan.warmth);
  Canvas canvas(width, height);
  switch (plan.kind) {
    case SceneKind::kLakeRange: PaintLakeRange(canvas, light, random, plan.variant); break;
    case SceneKind::kAlpineValley: PaintAlpineValley(canvas, light, random, plan.variant); break;
    case SceneKind::kCoast: PaintCoast(canvas, light, random, plan.variant); break;
    case SceneKind::kDunes: PaintDunes(canvas, light, random, plan.variant); break;
    case SceneKind::kForest: PaintForest(canvas, light, random, plan.variant); break;
    case SceneKind::kFields: PaintFields(canvas, light, random, plan.variant); break;
    case SceneKind::kSnowfield: PaintSnowfield(canvas, light, random, plan.variant); break;
    case SceneKind::kCanyon: PaintCanyon(canvas, light, random, plan.variant); break;
    case SceneKind::kRiver: PaintRiver(canvas, light, random, plan.variant); break;
    case SceneKind::kAurora: PaintAurora(canvas, light, random, plan.variant); break;
  }
  // A gentle vignette.
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float dx = (static_cast<float>(x) + 0.5f - w / 2) / (w / 2);
      const float dy = (static_cast<float>(y) + 0.5f - h / 2) / (h / 2);
      canvas.at(x, y) = Scale(canvas.at(x, y), 1.0f - 0.16f * (dx * dx + dy * dy) / 2);
    }
  }
  return canvas;
}

std::vector<std::uint8_t> ToRgb8(const Canvas& canvas, std::uint32_t seed) {
  std::vector<std::uint8_t> rgb(canvas.pixels.size() * 3);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const auto& c = canvas.at(x, y);
      // Two uniform values make a triangular dither of one level either way,
      // and a grain of about a level more.
      const float dither = Lattice(x, y, seed ^ 0x9e3779b9U) + Lattice(x, y, seed ^ 0x7f4a7c15U) - 1.0f;
      const float grain = (Lattice(x / 2, y / 2, seed ^ 0x2545f491U) - 0.5f) * 2.0f;
      const std::size_t at = (static_cast<std::size_t>(y) * canvas.width + x) * 3;
      for (int k = 0; k < 3; ++k) {
        const float v = (k == 0 ? c.r : k == 1 ? c.g : c.b) * 255.0f + dither + grain;
        rgb[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
      }
    }
  }
  return rgb;
}

}  // namespace orvanel::tools
