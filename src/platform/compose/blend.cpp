#include "platform/compose/blend.h"

#include <cstring>

namespace orvanel::platform::compose {
namespace {

// Sixteen bytes at a time in 16-bit lanes, written with the compiler's vector
// types: a plain loop is not vectorised at -O2, and this one is the fade's
// whole cost. x / 255 for x ≤ 65535 − 256 is exactly (x + 1 + (x >> 8)) >> 8.
using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
using Words16 = std::uint16_t __attribute__((vector_size(32)));

inline std::uint8_t BlendOne(unsigned below, unsigned top, unsigned alpha) {
  const unsigned x = top * alpha + below * (255 - alpha) + 127;
  return static_cast<std::uint8_t>((x + 1 + (x >> 8)) >> 8);
}

}  // namespace

// Built twice, chosen when the program loads: a processor with AVX2 does the
// sixteen 16-bit lanes in one register.
__attribute__((target_clones("avx2", "default")))
void BlendOver(const std::uint8_t* below, const std::uint8_t* top, std::uint8_t* out,
               std::size_t count, std::uint8_t alpha) {
  const Words16 a = Words16{} + alpha;
  const Words16 rest = Words16{} + static_cast<std::uint16_t>(255 - alpha);
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    Bytes16 b;
    Bytes16 t;
    std::memcpy(&b, below + i, 16);
    std::memcpy(&t, top + i, 16);
    const Words16 x = __builtin_convertvector(t, Words16) * a +
                      __builtin_convertvector(b, Words16) * rest + 127;
    const Bytes16 blended = __builtin_convertvector((x + 1 + (x >> 8)) >> 8, Bytes16);
    std::memcpy(out + i, &blended, 16);
  }
  for (; i < count; ++i) out[i] = BlendOne(below[i], top[i], alpha);
}

}  // namespace orvanel::platform::compose
