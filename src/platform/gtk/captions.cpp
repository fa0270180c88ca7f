#include "platform/gtk/captions.h"

#include <glib-object.h>
#include <pango/pangocairo.h>
#include <unicode/udat.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>

namespace orvanel::platform::gtk {
namespace {

template <typename T, auto Free>
struct Releaser {
  void operator()(T* object) const { Free(object); }
};
using Surface = std::unique_ptr<cairo_surface_t, Releaser<cairo_surface_t, cairo_surface_destroy>>;
using CairoContext = std::unique_ptr<cairo_t, Releaser<cairo_t, cairo_destroy>>;
using FontOptions = std::unique_ptr<cairo_font_options_t, Releaser<cairo_font_options_t, cairo_font_options_destroy>>;
using FontDescription =
    std::unique_ptr<PangoFontDescription, Releaser<PangoFontDescription, pango_font_description_free>>;
using FontMetrics = std::unique_ptr<PangoFontMetrics, Releaser<PangoFontMetrics, pango_font_metrics_unref>>;
using Layout = std::unique_ptr<PangoLayout, Releaser<void, g_object_unref>>;
using DateFormat = std::unique_ptr<UDateFormat, Releaser<UDateFormat, udat_close>>;

// Ascent and descent, in Pango units.
struct LineMetrics {
  int ascent = 0;
  int height = 0;
};

LineMetrics MetricsOf(PangoContext* context, const PangoFontDescription* font) {
  const FontMetrics metrics(pango_context_get_metrics(context, font, nullptr));
  const int ascent = pango_font_metrics_get_ascent(metrics.get());
  return LineMetrics{ascent, ascent + pango_font_metrics_get_descent(metrics.get())};
}

}  // namespace

TextMask RenderCaptionText(const std::string& raw, std::int32_t lineHeight) {
  if (raw.empty() || lineHeight <= 0) return {};
  // A folder whose name is not UTF-8 (written under another encoding)
  // shows with stand-ins for the bytes that are not, beside its date.
  const std::unique_ptr<gchar, Releaser<void, g_free>> valid(
      g_utf8_make_valid(raw.data(), static_cast<gssize>(raw.size())));
  const std::string text(valid.get());
  const Surface measuring(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  const CairoContext measure(cairo_create(measuring.get()));
  const Layout layout(pango_cairo_create_layout(measure.get()));
  PangoContext* context = pango_layout_get_context(layout.get());
  // Grey coverage, and advances that scale with the size rather than snap to
  // whole pixels, so that the text keeps its shape at any line height.
  const FontOptions options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context, options.get());

  const FontDescription font(pango_font_description_from_string("Sans"));
  pango_font_description_set_weight(font.get(), PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font.get(), PANGO_STYLE_NORMAL);
  // The line grows in proportion to the size: measured at one size, then
  // sized for the line asked.
  const double wanted = static_cast<double>(lineHeight) * PANGO_SCALE;
  pango_font_description_set_absolute_size(font.get(), wanted);
  const LineMetrics trial = MetricsOf(context, font.get());
  if (trial.height <= 0) return {};
  pango_font_description_set_absolute_size(font.get(), wanted * wanted / trial.height);
  const LineMetrics line = MetricsOf(context, font.get());

  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  PangoRectangle logical{};
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  TextMask mask;
  mask.width = PANGO_PIXELS_CEIL(logical.width);
  mask.height = lineHeight;
  if (mask.width <= 0) return {};

  const Surface target(cairo_image_surface_create(CAIRO_FORMAT_A8, mask.width, mask.height));
  if (cairo_surface_status(target.get()) != CAIRO_STATUS_SUCCESS) return {};
  const CairoContext draw(cairo_create(target.get()));
  pango_cairo_update_layout(draw.get(), layout.get());
  // The font's baseline at its ascent from the top, whatever taller face
  // a fallback character brought into the layout's own line.
  const double top = static_cast<double>(line.ascent - pango_layout_get_baseline(layout.get())) / PANGO_SCALE;
  cairo_move_to(draw.get(), -static_cast<double>(logical.x) / PANGO_SCALE, top);
  pango_cairo_show_layout(draw.get(), layout.get());
  cairo_surface_flush(target.get());

  const unsigned char* pixels = cairo_image_surface_get_data(target.get());
  const int stride = cairo_image_surface_get_stride(target.get());
  mask.coverage.resize(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height));
  for (std::int32_t y = 0; y < mask.height; ++y) {
    const unsigned char* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    std::copy(row, row + mask.width, mask.coverage.begin() + static_cast<std::ptrdiff_t>(y) * mask.width);
  }
  return mask;
}

std::string DateLocale() {
  std::string name;
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      name = value;
      break;
    }
  }
  name = name.substr(0, name.find_first_of(".@"));
  return name.empty() || name == "C" || name == "POSIX" ? "en_US" : name;
}

std::string LongDateIn(const std::string& locale, const DateTime& date) {
  namespace chrono = std::chrono;
  // Midnight of that day in UTC, written in UTC: no zone moves it to another day.
  const chrono::sys_days day{chrono::year{date.year} / chrono::month{date.month} / chrono::day{date.day}};
  const auto when = static_cast<UDate>(chrono::duration_cast<chrono::milliseconds>(day.time_since_epoch()).count());
  UErrorCode status = U_ZERO_ERROR;
  const DateFormat format(udat_open(UDAT_NONE, UDAT_LONG, locale.c_str(), u"UTC", -1, nullptr, -1, &status));
  if (U_FAILURE(status)) return {};
  std::u16string written(64, u'\0');
  std::int32_t length =
      udat_format(format.get(), when, written.data(), static_cast<std::int32_t>(written.size()), nullptr, &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    status = U_ZERO_ERROR;
    written.resize(static_cast<std::size_t>(length));
    length = udat_format(format.get(), when, written.data(), length, nullptr, &status);
  }
  if (U_FAILURE(status)) return {};
  std::string utf8(static_cast<std::size_t>(length) * 3, '\0');
  std::int32_t bytes = 0;
  u_strToUTF8(utf8.data(), static_cast<std::int32_t>(utf8.size()), &bytes, written.data(), length, &status);
  if (U_FAILURE(status)) return {};
  utf8.resize(static_cast<std::size_t>(bytes));
  return utf8;
}

}  // namespace orvanel::platform::gtk
