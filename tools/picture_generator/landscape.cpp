#include "landscape.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvanel::tools {
namespace {

// A small generator of our own, so that a seed paints the same picture with
// any standard library.
class Pcg32 {
 public:
  explicit Pcg32(std::uint64_t seed) : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) {
    Next();
  }
  std::uint32_t Next() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
    const auto shifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<std::uint32_t>(old >> 59u);
    return (shifted >> rotation) | (shifted << ((32 - rotation) & 31));
  }
  float Uniform(float low = 0.0f, float high = 1.0f) {
    return low + (high - low) * static_cast<float>(Next() >> 8) / 16777216.0f;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
  bool Chance(float p) { return Uniform() < p; }

 private:
  std::uint64_t state_;
};

std::uint32_t Hash(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

float Lattice(int x, int y, std::uint32_t seed) {
  const auto h = Hash(static_cast<std::uint32_t>(x) * 73856093U ^ static_cast<std::uint32_t>(y) * 19349663U ^
                      seed * 83492791U);
  return static_cast<float>(h >> 8) / 16777216.0f;
}

float Smooth(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Value noise in 0..1.
float Noise2(float x, float y, std::uint32_t seed) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  const float tx = Smooth(x - fx);
  const float ty = Smooth(y - fy);
  const float a = Lattice(ix, iy, seed);
  const float b = Lattice(ix + 1, iy, seed);
  const float c = Lattice(ix, iy + 1, seed);
  const float d = Lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Fbm2(float x, float y, std::uint32_t seed, int octaves, float gain = 0.5f) {
  float sum = 0, amplitude = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * Noise2(x, y, seed + static_cast<std::uint32_t>(i) * 101U);
    norm += amplitude;
    amplitude *= gain;
    x *= 2.03f;
    y *= 2.03f;
  }
  return sum / norm;
}

// Sharp-crested noise for mountain ridges, 0..1.
float Ridged(float x, std::uint32_t seed, int octaves, float sharpness) {
  float sum = 0, amplitude = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    const float n = Noise2(x, 0.5f, seed + static_cast<std::uint32_t>(i) * 977U);
    const float ridge = 1.0f - std::fabs(2.0f * n - 1.0f);
    sum += amplitude * (sharpness * ridge + (1 - sharpness) * n);
    norm += amplitude;
    amplitude *= 0.5f;
    x *= 2.1f;
  }
  return sum / norm;
}

Rgb Mix(const Rgb& a, const Rgb& b, float t) {
  return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(const Rgb& a, float s) { return Rgb{a.r * s, a.g * s, a.b * s}; }
Rgb Add(const Rgb& a, const Rgb& b) { return Rgb{a.r + b.r, a.g + b.g, a.b + b.b}; }
float SmoothStep(float e0, float e1, float x) {
  const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

struct Palette {
  Rgb skyTop, skyHorizon, sun, glow, cloudLit, cloudShadow, ridgeFar, ridgeNear, mist, water;
  float glowStrength;
  float cloudiness;
  bool night;
  bool sunVisible;
};

// Times of day, from dawn to night.
const std::array<Palette, 8> kPalettes{{
    // dawn
    {{0.33f, 0.43f, 0.70f}, {1.00f, 0.78f, 0.64f}, {1.00f, 0.95f, 0.80f}, {1.00f, 0.72f, 0.52f},
     {1.00f, 0.84f, 0.80f}, {0.52f, 0.48f, 0.62f}, {0.62f, 0.58f, 0.72f}, {0.16f, 0.18f, 0.27f},
     {0.96f, 0.84f, 0.84f}, {0.42f, 0.46f, 0.62f}, 0.8f, 0.45f, false, true},
    // clear midday
    {{0.14f, 0.38f, 0.78f}, {0.68f, 0.83f, 0.95f}, {1.00f, 1.00f, 0.95f}, {1.00f, 0.98f, 0.88f},
     {1.00f, 1.00f, 1.00f}, {0.64f, 0.69f, 0.78f}, {0.52f, 0.62f, 0.76f}, {0.14f, 0.28f, 0.16f},
     {0.84f, 0.90f, 0.96f}, {0.12f, 0.32f, 0.48f}, 0.35f, 0.55f, false, true},
    // golden hour
    {{0.22f, 0.42f, 0.74f}, {1.00f, 0.84f, 0.52f}, {1.00f, 0.95f, 0.70f}, {1.00f, 0.78f, 0.38f},
     {1.00f, 0.90f, 0.68f}, {0.50f, 0.44f, 0.50f}, {0.72f, 0.60f, 0.50f}, {0.20f, 0.20f, 0.10f},
     {1.00f, 0.90f, 0.70f}, {0.28f, 0.33f, 0.40f}, 0.9f, 0.5f, false, true},
    // sunset
    {{0.14f, 0.18f, 0.44f}, {0.98f, 0.52f, 0.28f}, {1.00f, 0.86f, 0.56f}, {1.00f, 0.48f, 0.20f},
     {1.00f, 0.58f, 0.42f}, {0.34f, 0.20f, 0.34f}, {0.55f, 0.33f, 0.44f}, {0.09f, 0.06f, 0.11f},
     {0.96f, 0.58f, 0.48f}, {0.30f, 0.18f, 0.28f}, 1.0f, 0.6f, false, true},
    // twilight after sunset
    {{0.04f, 0.06f, 0.20f}, {0.62f, 0.36f, 0.52f}, {1.00f, 0.70f, 0.50f}, {0.92f, 0.40f, 0.34f},
     {0.62f, 0.34f, 0.44f}, {0.11f, 0.09f, 0.20f}, {0.25f, 0.20f, 0.36f}, {0.04f, 0.04f, 0.08f},
     {0.42f, 0.30f, 0.46f}, {0.09f, 0.09f, 0.19f}, 0.7f, 0.45f, false, false},
    // moonlit night
    {{0.01f, 0.02f, 0.07f}, {0.08f, 0.13f, 0.27f}, {0.95f, 0.95f, 0.88f}, {0.45f, 0.55f, 0.78f},
     {0.36f, 0.40f, 0.52f}, {0.04f, 0.05f, 0.10f}, {0.10f, 0.13f, 0.23f}, {0.02f, 0.03f, 0.05f},
     {0.15f, 0.20f, 0.31f}, {0.03f, 0.05f, 0.11f}, 0.35f, 0.35f, true, true},
    // misty morning
    {{0.48f, 0.60f, 0.71f}, {0.88f, 0.89f, 0.85f}, {1.00f, 0.98f, 0.90f}, {1.00f, 0.95f, 0.84f},
     {0.96f, 0.96f, 0.96f}, {0.66f, 0.71f, 0.76f}, {0.60f, 0.68f, 0.72f}, {0.10f, 0.19f, 0.18f},
     {0.91f, 0.93f, 0.91f}, {0.38f, 0.48f, 0.53f}, 0.5f, 0.35f, false, true},
    // stormy light
    {{0.22f, 0.26f, 0.32f}, {0.66f, 0.66f, 0.62f}, {1.00f, 0.95f, 0.80f}, {0.95f, 0.85f, 0.62f},
     {0.86f, 0.85f, 0.82f}, {0.26f, 0.28f, 0.33f}, {0.42f, 0.47f, 0.52f}, {0.10f, 0.13f, 0.12f},
     {0.70f, 0.72f, 0.72f}, {0.20f, 0.25f, 0.28f}, 0.45f, 0.85f, false, true},
}};

Rgb Jitter(const Rgb& c, Pcg32& random, float amount) {
  return Rgb{std::clamp(c.r * random.Uniform(1 - amount, 1 + amount), 0.0f, 1.0f),
             std::clamp(c.g * random.Uniform(1 - amount, 1 + amount), 0.0f, 1.0f),
             std::clamp(c.b * random.Uniform(1 - amount, 1 + amount), 0.0f, 1.0f)};
}

struct Layer {
  float base;       // y of the layer's foot
  float amplitude;  // height of its peaks
  float frequency;
  float offset;
  float sharpness;
  int octaves;
  Rgb colour;
  float mist;
  std::uint32_t seed;

  std::vector<std::pair<float, float>> trees;  // centre and height of each pine

  float Hills(float x, int detail = 7) const {
    const float r = Ridged(x * frequency + offset, seed, detail, sharpness);
    return base - amplitude * std::clamp((r - 0.15f) / 0.8f, 0.0f, 1.0f);
  }
  // The skyline: hills, and pines standing on them.
  float Ridge(float x) const {
    float top = Hills(x);
    for (const auto& [centre, height] : trees) {
      const float halfWidth = height * 0.28f;
      const float away = std::fabs(x - centre);
      if (away >= halfWidth) continue;
      // Tiers of branches: a saw edge on a narrow triangle.
      const float along = away / halfWidth;
      const float tiers = std::fmod(along * 4.0f + 0.5f, 1.0f) * 0.12f;
      const float crown = Hills(centre) - height * (1.0f - along - tiers);
      top = std::min(top, crown);
    }
    return top;
  }
};

}  // namespace

Canvas PaintLandscape(std::uint32_t seed, int width, int height) {
  Pcg32 random(seed * 2654435761ULL + 17);
  Palette p = kPalettes[static_cast<std::size_t>(random.Below(static_cast<int>(kPalettes.size())))];
  for (Rgb* c : {&p.skyTop, &p.skyHorizon, &p.glow, &p.cloudLit, &p.ridgeFar, &p.ridgeNear, &p.mist,
                 &p.water}) {
    *c = Jitter(*c, random, 0.08f);
  }
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const bool lake = random.Chance(0.6f);
  const float horizon = h * random.Uniform(lake ? 0.52f : 0.58f, lake ? 0.68f : 0.74f);
  const float sunX = w * random.Uniform(0.15f, 0.85f);
  const float sunY = p.sunVisible ? horizon - h * random.Uniform(0.08f, 0.36f) : horizon + h * 0.05f;
  const float sunRadius = h * random.Uniform(0.022f, 0.040f);
  const float cloudiness = std::clamp(p.cloudiness + random.Uniform(-0.25f, 0.25f), 0.05f, 0.95f);
  const std::uint32_t cloudSeed = random.Next();
  const std::uint32_t starSeed = random.Next();
  const float cloudStretch = random.Uniform(2.5f, 5.0f);

  Canvas canvas(width, height);

  // Sky, sun glow, stars, the sun or moon, clouds.
  for (int y = 0; y < height; ++y) {
    const float fy = static_cast<float>(y);
    const float t = std::pow(std::clamp(fy / horizon, 0.0f, 1.0f), 1.6f);
    const Rgb sky = Mix(p.skyTop, p.skyHorizon, t);
    for (int x = 0; x < width; ++x) {
      const float fx = static_cast<float>(x);
      Rgb c = sky;
      const float d = std::hypot(fx - sunX, (fy - sunY) * 1.2f);
      const float glow = 0.55f * std::exp(-d / (h * 0.09f)) + 0.35f * std::exp(-d / (h * 0.35f));
      c = Add(c, Scale(p.glow, glow * p.glowStrength * (p.night ? 0.5f : 1.0f)));
      if (p.night && Lattice(x, y, starSeed) > 0.9985f) {
        const float brightness = 0.4f + 0.6f * Lattice(y, x, starSeed + 1);
        c = Add(c, Scale(Rgb{0.9f, 0.92f, 1.0f}, brightness * (1 - t)));
      }
      if (p.sunVisible && d < sunRadius + 1.5f) {
        const float edge = std::clamp(sunRadius + 0.5f - d, 0.0f, 1.0f);
        // The sun outshines its own glow; the moon shows its maria.
        Rgb disc = Add(c, p.sun);
        if (p.night) {
          const float mare = Fbm2(fx / 9.0f, fy / 9.0f, starSeed + 7, 3);
          disc = Scale(p.sun, 0.78f + 0.22f * SmoothStep(0.35f, 0.65f, mare));
        }
        c = Mix(c, disc, edge);
      }
      // Clouds, flattened and thinning towards the horizon.
      const float n = Fbm2(fx / (h * 0.22f), fy * cloudStretch / (h * 0.22f), cloudSeed, 6);
      const float altitude = SmoothStep(horizon * 1.02f, horizon * 0.35f, fy);
      const float density = SmoothStep(1.0f - cloudiness * 0.75f, 1.15f - cloudiness * 0.6f, n) * altitude;
      if (density > 0.0f) {
        const float lit = std::clamp(0.45f + 1.8f * (n - 0.55f) + 0.5f * std::exp(-d / (h * 0.3f)), 0.0f, 1.0f);
        const Rgb cloud = Mix(p.cloudShadow, p.cloudLit, lit);
        c = Mix(c, cloud, std::min(1.0f, density * 0.92f));
      }
      canvas.at(x, y) = c;
    }
  }

  // Ridges from the farthest to the nearest, each paler with distance and
  // with mist gathering at its foot.
  const int layerCount = 3 + random.Below(4);
  std::vector<Layer> layers;
  for (int i = 0; i < layerCount; ++i) {
    const float depth = layerCount == 1 ? 0.0f : static_cast<float>(i) / static_cast<float>(layerCount - 1);
    Layer layer;
    const float ground = lake ? horizon : h;
    layer.base = lake ? horizon + 1.0f : horizon + (ground - horizon) * (0.15f + 0.85f * depth * depth);
    layer.amplitude = h * random.Uniform(0.16f, 0.34f) * (1.2f - 0.65f * depth);
    if (!lake && i == layerCount - 1) layer.amplitude *= 0.5f;
    layer.frequency = random.Uniform(1.2f, 2.6f) / w * (1.0f + depth);
    layer.offset = random.Uniform(0.0f, 1000.0f);
    layer.sharpness = std::clamp(0.9f - depth * 0.7f + random.Uniform(-0.1f, 0.1f), 0.0f, 1.0f);
    layer.octaves = 7;
    const Rgb distant = Mix(p.ridgeFar, p.skyHorizon, 0.35f);
    layer.colour = Mix(distant, p.ridgeNear, std::pow(depth, 0.8f));
    layer.mist = random.Uniform(0.1f, 0.6f) * (p.cloudiness + 0.3f);
    layer.seed = random.Next();
    // Pines on the nearest hills of a valley.
    if (!lake && i >= layerCount - 2 && random.Chance(0.7f)) {
      const int count = random.Below(40) + 10;
      const float tall = h * (0.02f + 0.05f * depth);
      for (int t = 0; t < count; ++t) {
        layer.trees.emplace_back(random.Uniform(0.0f, w), tall * random.Uniform(0.5f, 1.3f));
      }
    }
    layers.push_back(layer);
  }
  const float mistHeight = h * random.Uniform(0.03f, 0.08f);
  for (const auto& layer : layers) {
    const std::uint32_t textureSeed = layer.seed ^ 0x5bd1e995U;
    // How much each column's slope turns towards the sun.
    std::vector<float> slope(static_cast<std::size_t>(width));
    // The broad shape of the skyline, which the light follows.
    std::vector<float> broadTop(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
      const float fx = static_cast<float>(x);
      broadTop[static_cast<std::size_t>(x)] = layer.Hills(fx, 3);
      // Measured over a few pixels, so that only the shape of the slope counts.
      const float rise = layer.Hills(fx - 12.0f, 3) - layer.Hills(fx + 12.0f, 3);
      const float towardsSun = sunX > fx ? 1.0f : -1.0f;
      slope[static_cast<std::size_t>(x)] = std::clamp(rise * towardsSun * 0.012f, -0.18f, 0.18f);
    }
    for (int x = 0; x < width; ++x) {
      const float fx = static_cast<float>(x);
      const float top = layer.Ridge(fx);
      const int first = std::max(0, static_cast<int>(std::floor(top)));
      const int last = lake ? std::min(height, static_cast<int>(std::ceil(horizon))) : height;
      for (int y = first; y < last; ++y) {
        const float fy = static_cast<float>(y);
        const float coverage = std::clamp(fy + 1.0f - top, 0.0f, 1.0f);
        if (coverage <= 0.0f) continue;
        // Light on the crest and on the slopes that face the sun, gullies
        // running down the slopes.
        const float below = std::max(0.0f, fy - broadTop[static_cast<std::size_t>(x)]) / h;
        const float texture = Fbm2(fx / 16.0f, fy / 24.0f, textureSeed, 5);
        float shade = 1.0f + 0.12f * std::exp(-below * 40.0f) - 0.22f * std::min(below * 3.0f, 1.0f);
        shade *= 1.0f + slope[static_cast<std::size_t>(x)] * std::exp(-below * 4.0f);
        shade *= 0.95f + 0.10f * texture;
        Rgb c = Scale(layer.colour, shade);
        const float foot = std::exp(-(layer.base - fy) / mistHeight);
        c = Mix(c, p.mist, std::clamp(foot * layer.mist, 0.0f, 0.85f));
        canvas.at(x, y) = Mix(canvas.at(x, y), c, coverage);
      }
    }
  }

  // A lake below the horizon mirrors the scene, rippled and darkened.
  if (lake) {
    const int top = static_cast<int>(std::ceil(horizon));
    const Canvas above = canvas;
    const std::uint32_t rippleSeed = random.Next();
    for (int y = top; y < height; ++y) {
      const float fy = static_cast<float>(y);
      const float depth = (fy - horizon) / (h - horizon);
      for (int x = 0; x < width; ++x) {
        const float fx = static_cast<float>(x);
        const float wave = Fbm2(fx / (30.0f + 60.0f * depth), fy / (2.0f + 6.0f * depth), rippleSeed, 3) - 0.5f;
        const float sx = std::clamp(fx + wave * (4.0f + 40.0f * depth), 0.0f, w - 1);
        const float sy = std::clamp(2.0f * horizon - fy + wave * 6.0f * depth - 1.0f, 0.0f, horizon - 1);
        Rgb c = above.at(static_cast<int>(sx), static_cast<int>(sy));
        c = Mix(Scale(c, 0.82f), p.water, 0.18f + 0.45f * depth);
        // Glitter on the water under the sun.
        const float path = std::exp(-std::fabs(fx - sunX) / (w * (0.02f + 0.08f * depth)));
        if (p.sunVisible && wave > 0.18f) c = Add(c, Scale(p.sun, path * (wave - 0.18f) * 2.5f));
        canvas.at(x, y) = c;
      }
    }
    // A dark shore in front, on one side.
    const std::uint32_t shoreSeed = random.Next();
    const bool left = random.Chance(0.5f);
    const float reach = w * random.Uniform(0.25f, 0.55f);
    const float rise = h * random.Uniform(0.05f, 0.12f);
    for (int x = 0; x < width; ++x) {
      const float fx = static_cast<float>(x);
      const float along = left ? 1.0f - fx / reach : 1.0f - (w - fx) / reach;
      if (along <= 0.0f) continue;
      const float edge = h - rise * std::sqrt(along) * (0.7f + 0.6f * Ridged(fx / 60.0f, shoreSeed, 5, 0.3f));
      for (int y = std::max(0, static_cast<int>(edge)); y < height; ++y) {
        const float coverage = std::clamp(static_cast<float>(y) + 1.0f - edge, 0.0f, 1.0f);
        const float texture = Fbm2(fx / 6.0f, static_cast<float>(y) / 6.0f, shoreSeed + 3, 3);
        canvas.at(x, y) = Mix(canvas.at(x, y), Scale(p.ridgeNear, 0.55f + 0.3f * texture), coverage);
      }
    }
  }

  // A gentle vignette.
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const float dx = (static_cast<float>(x) - w / 2) / (w / 2);
      const float dy = (static_cast<float>(y) - h / 2) / (h / 2);
      canvas.at(x, y) = Scale(canvas.at(x, y), 1.0f - 0.18f * (dx * dx + dy * dy) / 2);
    }
  }
  return canvas;
}

std::vector<std::uint8_t> ToRgb8(const Canvas& canvas, std::uint32_t seed) {
  std::vector<std::uint8_t> rgb(canvas.pixels.size() * 3);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const auto& c = canvas.at(x, y);
      const float grain = (Lattice(x, y, seed ^ 0x9e3779b9U) - 0.5f) * 5.0f;
      const std::size_t at = (static_cast<std::size_t>(y) * canvas.width + x) * 3;
      for (int k = 0; k < 3; ++k) {
        const float v = (k == 0 ? c.r : k == 1 ? c.g : c.b) * 255.0f + grain;
        rgb[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
      }
    }
  }
  return rgb;
}

}  // namespace orvanel::tools
