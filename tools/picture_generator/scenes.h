#pragma once
// The kinds of scene the collection holds, each with its own composition,
// materials and light, and the plan that gives each picture its kind.
#include <cstdint>

#include "paint.h"
#include "sky.h"

namespace orvanel::tools {

enum class SceneKind {
  kLakeRange,     // ranges over a still lake that mirrors them
  kAlpineValley,  // snowy peaks over a valley of pines and pasture
  kCoast,         // cliffs and a beach, the sea to the horizon
  kDunes,         // sand dunes under a wide sky
  kForest,        // rows of trees fading into mist
  kFields,        // rolling farmland in patches
  kSnowfield,     // a winter plain with snowy trees
  kCanyon,        // layered red rock, mesas, a dry floor
  kRiver,         // a river winding from the hills to the viewer
  kAurora,        // a northern night, aurora over a frozen lake
};

struct ScenePlan {
  SceneKind kind;
  int variant;  // which composition of the kind, 0..5
  TimeOfDay time;
  float warmth;  // + summer, - winter
  std::uint32_t seed;
};

inline constexpr int kSceneKinds = 10;

// The plan of picture `number` of the collection.
ScenePlan PlanFor(int number);

const char* SceneName(SceneKind kind);

void PaintLakeRange(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintAlpineValley(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintCoast(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintDunes(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintForest(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintFields(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintSnowfield(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintCanyon(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintRiver(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);
void PaintAurora(Canvas& canvas, const Daylight& light, Pcg32& random, int variant);

}  // namespace orvanel::tools
