#include "noise.h"

#include <cmath>

namespace orvanel::tools {

Pcg32::Pcg32(std::uint64_t seed) : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) { Next(); }

std::uint32_t Pcg32::Next() {
  const std::uint64_t old = state_;
  state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
  const auto shifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
  const auto rotation = static_cast<std::uint32_t>(old >> 59u);
  return (shifted >> rotation) | (shifted << ((32 - rotation) & 31));
}

float Pcg32::Uniform(float low, float high) {
  return low + (high - low) * static_cast<float>(Next() >> 8) / 16777216.0f;
}

int Pcg32::Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }

bool Pcg32::Chance(float p) { return Uniform() < p; }

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

namespace {

float Smooth(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Each octave turned by about 37 degrees against the one before.
constexpr float kCos = 0.8f;
constexpr float kSin = 0.6f;

}  // namespace

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
  const float top = a + (b - a) * tx;
  return top + ((c + (d - c) * tx) - top) * ty;
}

float Fbm2(float x, float y, std::uint32_t seed, int octaves, float gain) {
  float sum = 0, amplitude = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * Noise2(x, y, seed + static_cast<std::uint32_t>(i) * 101U);
    norm += amplitude;
    amplitude *= gain;
    const float nx = (kCos * x - kSin * y) * 2.03f + 17.1f;
    const float ny = (kSin * x + kCos * y) * 2.03f + 5.3f;
    x = nx;
    y = ny;
  }
  return sum / norm;
}

float Ridged2(float x, float y, std::uint32_t seed, int octaves, float sharpness) {
  float sum = 0, amplitude = 1, norm = 0;
  for (int i = 0; i < octaves; ++i) {
    const float n = Noise2(x, y, seed + static_cast<std::uint32_t>(i) * 977U);
    const float ridge = 1.0f - std::fabs(2.0f * n - 1.0f);
    sum += amplitude * (sharpness * ridge + (1 - sharpness) * n);
    norm += amplitude;
    amplitude *= 0.5f;
    x *= 2.1f;
    y *= 2.1f;
  }
  return sum / norm;
}

}  // namespace orvanel::tools
