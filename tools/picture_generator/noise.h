#pragma once
// Randomness that a seed fixes: a small generator and value noise, the same
// on every machine and with every standard library.
#include <cstdint>

namespace orvanel::tools {

class Pcg32 {
 public:
  explicit Pcg32(std::uint64_t seed);
  std::uint32_t Next();
  float Uniform(float low = 0.0f, float high = 1.0f);
  int Below(int n);
  bool Chance(float p);

 private:
  std::uint64_t state_;
};

std::uint32_t Hash(std::uint32_t x);

// A value in 0..1 for each point of the integer lattice.
float Lattice(int x, int y, std::uint32_t seed);

// Value noise in 0..1, smooth between lattice points.
float Noise2(float x, float y, std::uint32_t seed);

// Octaves of noise, each twice as fine and `gain` as strong: 0..1. Each
// octave is turned a little against the last, so that no lattice shows.
float Fbm2(float x, float y, std::uint32_t seed, int octaves, float gain = 0.5f);

// Sharp-crested noise, 0..1: ridges where plain noise crosses its middle.
float Ridged2(float x, float y, std::uint32_t seed, int octaves, float sharpness);

// The same along a line, for skylines.
inline float Ridged1(float x, std::uint32_t seed, int octaves, float sharpness) {
  return Ridged2(x, 0.5f, seed, octaves, sharpness);
}

}  // namespace orvanel::tools
