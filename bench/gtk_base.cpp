// The toolkit's own cost: a minimal GTK program showing one black window
// over the whole screen, nothing else. The native saver's figures are
// measured against it.
#include <gdk/gdkwayland.h>
#include <gtk/gtk.h>

namespace {

gboolean PaintBlack(GtkWidget*, cairo_t* cr, gpointer) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  // A Wayland compositor shows no window without a parent or a role of its
  // own: there it is a full-screen window.
  const bool wayland = GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default());
  GtkWidget* window = gtk_window_new(wayland ? GTK_WINDOW_TOPLEVEL : GTK_WINDOW_POPUP);
  if (wayland) gtk_window_fullscreen(GTK_WINDOW(window));
  GdkScreen* screen = gtk_widget_get_screen(window);
  GdkRectangle area;
  gdk_monitor_get_geometry(gdk_display_get_monitor(gdk_screen_get_display(screen), 0), &area);
  gtk_window_move(GTK_WINDOW(window), area.x, area.y);
  gtk_window_set_default_size(GTK_WINDOW(window), area.width, area.height);
  gtk_widget_set_app_paintable(window, TRUE);
  g_signal_connect(window, "draw", G_CALLBACK(PaintBlack), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show(window);
  gtk_main();
  return 0;
}
