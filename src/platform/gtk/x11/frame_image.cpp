#include "platform/gtk/x11/frame_image.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <gdk/gdkx.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <bit>
#include <cstdlib>
#include <cstring>

#include "platform/gtk/x11/x_error_trap.h"

namespace orvanel::platform::gtk {

struct FrameImage::Segment {
  XShmSegmentInfo info{};
};

namespace {

bool SharedMemoryWanted(Display* display) {
  const char* off = std::getenv("ORVANEL_NO_SHM");
  // Shared pixels go to the server as they are, in its byte order.
  return (off == nullptr || *off == '\0') && XShmQueryExtension(display) != False &&
         ImageByteOrder(display) == LSBFirst;
}

// Whether the image's rows are the composer's: 32 bits a pixel, none left over.
bool Fits(const XImage* image, std::int32_t width) {
  return image->bits_per_pixel == 32 && image->bytes_per_line == width * 4;
}

std::size_t ImageBytes(const XImage* image) {
  return static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height);
}

// An image over a segment of shared memory the server has attached, or null.
XImage* SharedImage(Display* display, Visual* visual, int depth, std::int32_t width, std::int32_t height,
                    XShmSegmentInfo& info) {
  XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &info,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image == nullptr) return nullptr;
  // Until the segment is attached, the image owns no data of its own.
  const auto unmade = [image]() -> XImage* {
    image->data = nullptr;
    XDestroyImage(image);
    return nullptr;
  };
  if (!Fits(image, width)) return unmade();
  info.shmid = shmget(IPC_PRIVATE, ImageBytes(image), IPC_CREAT | 0600);
  if (info.shmid < 0) return unmade();
  void* memory = shmat(info.shmid, nullptr, 0);
  // Gone as soon as both sides have let go of it, whatever way the saver ends.
  shmctl(info.shmid, IPC_RMID, nullptr);
  if (memory == reinterpret_cast<void*>(-1)) return unmade();
  info.shmaddr = image->data = static_cast<char*>(memory);
  info.readOnly = False;
  // A server on another machine says yes to the extension and then cannot
  // reach the segment.
  XErrorTrap trap;
  XShmAttach(display, &info);
  XSync(display, False);
  if (!trap.Clean()) {
    shmdt(memory);
    return unmade();
  }
  return image;
}

}  // namespace

std::unique_ptr<FrameImage> FrameImage::For(GdkVisual* gdkVisual, std::int32_t width, std::int32_t height) {
  if (gdkVisual == nullptr || width <= 0 || height <= 0) return nullptr;
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  Visual* visual = gdk_x11_visual_get_xvisual(gdkVisual);
  const int depth = gdk_visual_get_depth(gdkVisual);
  // The composer's pixels as they lie in memory: anything else is left to the toolkit.
  if ((depth != 24 && depth != 32) || visual->c_class != TrueColor || visual->red_mask != 0xFF0000 ||
      visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF || std::endian::native != std::endian::little) {
    return nullptr;
  }
  if (SharedMemoryWanted(display)) {
    auto segment = std::make_unique<Segment>();
    if (XImage* image = SharedImage(display, visual, depth, width, height, segment->info)) {
      return std::unique_ptr<FrameImage>(new FrameImage(display, image, std::move(segment), depth));
    }
  }
  XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 32, width * 4);
  if (image == nullptr) return nullptr;
  image->byte_order = LSBFirst;  // Xlib turns it into the server's order on the way
  image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(width) * 4, static_cast<std::size_t>(height)));
  if (image->data == nullptr || !Fits(image, width)) {
    XDestroyImage(image);  // frees the data too
    return nullptr;
  }
  return std::unique_ptr<FrameImage>(new FrameImage(display, image, nullptr, depth));
}

std::unique_ptr<compose::HeldPixels> FrameImage::Copy() {
  copying_ = std::make_shared<compose::PixelCopy>(reinterpret_cast<const std::uint8_t*>(image_->data),
                                                  ImageBytes(image_));
  return compose::HeldCopy(copying_, image_->bytes_per_line);
}

FrameImage::FrameImage(Display* display, XImage* image, std::unique_ptr<Segment> segment, int depth)
    : display_(display), image_(image), segment_(std::move(segment)), depth_(depth) {
  if (!segment_) return;
  // A new segment's pages come to the saver one fault at a time where it is
  // first written, which for a frame of 3840 x 2160 is tens of milliseconds
  // on the way to the first frame. Taken in all at once on another processor,
  // while the saver reads the desktop and shows its windows, they are ready
  // by then. Where the system cannot, they come as before.
  takingPagesIn_.Start([data = image_->data, bytes = ImageBytes(image_)] {
    madvise(data, bytes, MADV_POPULATE_WRITE);
  });
}

FrameImage::~FrameImage() {
  takingPagesIn_.Await();
  // The copy reads the segment, which goes below.
  if (copying_) copying_->Await();
  if (gc_ != nullptr) XFreeGC(display_, gc_);
  if (staging_ != 0) XFreePixmap(display_, staging_);
  if (segment_) {
    XShmDetach(display_, &segment_->info);
    XSync(display_, False);
    shmdt(segment_->info.shmaddr);
    image_->data = nullptr;
  }
  XDestroyImage(image_);
}

std::uint8_t* FrameImage::Pixels() {
  takingPagesIn_.Await();
  if (copying_) {
    copying_->Await();
    copying_.reset();
  }
  return reinterpret_cast<std::uint8_t*>(image_->data);
}

std::ptrdiff_t FrameImage::Stride() const { return image_->bytes_per_line; }

void FrameImage::AwaitServer() {
  if (!pending_) return;
  XSync(display_, False);
  pending_ = false;
}

void FrameImage::Put(unsigned long drawable, const std::vector<Rect>& parts) {
  if (parts.empty()) return;
  if (gc_ == nullptr || gcDrawable_ != drawable) {
    if (gc_ != nullptr) XFreeGC(display_, gc_);
    if (staging_ != 0) XFreePixmap(display_, staging_);
    gc_ = XCreateGC(display_, drawable, 0, nullptr);
    staging_ = segment_ ? 0
                       : XCreatePixmap(display_, drawable, static_cast<unsigned>(image_->width),
                                       static_cast<unsigned>(image_->height), static_cast<unsigned>(depth_));
    gcDrawable_ = drawable;
  }
  const auto put = [&](const Rect& rect) {
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    const auto w = static_cast<unsigned>(rect.Width());
    const auto h = static_cast<unsigned>(rect.Height());
    if (segment_) {
      XShmPutImage(display_, drawable, gc_, image_, rect.left, rect.top, rect.left, rect.top, w, h, False);
      pending_ = true;
    } else {
      // A large image goes as several requests; the copy is one.
      XPutImage(display_, staging_, gc_, image_, rect.left, rect.top, rect.left, rect.top, w, h);
      XCopyArea(display_, staging_, drawable, gc_, rect.left, rect.top, w, h, rect.left, rect.top);
    }
  };
  if (segment_) {
    // Small requests, sent together: the server carries them out before it
    // turns to another program.
    for (const Rect& part : parts) put(part);
  } else {
    // The pixels themselves go through the connection: one copy for all of them.
    Rect bounds = parts.front();
    for (const Rect& part : parts) bounds = bounds.Union(part);
    put(bounds);
  }
  XFlush(display_);
}

bool FrameImage::Get(unsigned long drawable, Point from) {
  AwaitServer();
  XErrorTrap trap;
  if (segment_) {
    XShmGetImage(display_, drawable, image_, from.x, from.y, AllPlanes);
    return trap.Clean();
  }
  XImage* read = XGetImage(display_, drawable, from.x, from.y, static_cast<unsigned>(image_->width),
                           static_cast<unsigned>(image_->height), AllPlanes, ZPixmap);
  if (read == nullptr) return false;
  const bool fits = read->bits_per_pixel == 32 && read->byte_order == LSBFirst;
  for (int y = 0; fits && y < image_->height; ++y) {
    std::memcpy(image_->data + y * image_->bytes_per_line, read->data + y * read->bytes_per_line,
                static_cast<std::size_t>(image_->width) * 4);
  }
  XDestroyImage(read);
  return fits && trap.Clean();
}

}  // namespace orvanel::platform::gtk
