#include "platform/compose/pixel_copy.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

namespace orvanel::platform::compose {

PixelCopy::PixelCopy(const std::uint8_t* from, std::size_t bytes) : bytes_(bytes) {
  copying_.Start([this, from] {
    void* memory = mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (memory == MAP_FAILED) return;
    pixels_ = static_cast<std::uint8_t*>(memory);
    std::memcpy(pixels_, from, bytes_);
  });
}

PixelCopy::~PixelCopy() {
  copying_.Await();
  if (pixels_ != nullptr) munmap(pixels_, bytes_);
}

const std::uint8_t* PixelCopy::Pixels() {
  copying_.Await();
  if (pixels_ == nullptr) throw std::bad_alloc();
  return pixels_;
}

namespace {

class CopiedPixels : public HeldPixels {
 public:
  CopiedPixels(std::shared_ptr<PixelCopy> copy, std::ptrdiff_t stride) : copy_(std::move(copy)), stride_(stride) {}
  const std::uint8_t* Pixels() const override { return copy_->Pixels(); }
  std::ptrdiff_t Stride() const override { return stride_; }

 private:
  std::shared_ptr<PixelCopy> copy_;
  std::ptrdiff_t stride_;
};

}  // namespace

std::unique_ptr<HeldPixels> HeldCopy(std::shared_ptr<PixelCopy> copy, std::ptrdiff_t stride) {
  return std::make_unique<CopiedPixels>(std::move(copy), stride);
}

}  // namespace orvanel::platform::compose
