// The settings dialog: a window with controls is shown as a GTK window whose
// controls are GTK's own widgets, placed where the form puts them. A click
// reaches the form as a command message, as on Windows.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/gtk/gtk_desktop.h"
#include "platform/window_styles.h"

namespace orvanel::platform::gtk {
namespace {

// "&OK" as GTK writes a mnemonic: "_OK"; "&&" is a plain "&".
std::string Mnemonic(const std::string& text) {
  std::string label;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_') {
      label += "__";
    } else if (text[i] == '&' && i + 1 < text.size()) {
      label += text[i + 1] == '&' ? "&" : "_";
      if (text[i + 1] == '&') ++i;
    } else {
      label += text[i];
    }
  }
  return label;
}

std::string Plain(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

std::optional<long> NumberIn(const std::string& text) {
  try {
    std::size_t used = 0;
    const long value = std::stol(text, &used);
    if (used == text.size()) return value;
  } catch (const std::logic_error&) {
    // Not a number: the arrows start from their own position.
  }
  return std::nullopt;
}

}  // namespace

WindowHandle GtkDesktop::CreateControl(WindowHandle parent, const ControlRequest& request) {
  NativeWindow* owner = Find(parent);
  if (owner == nullptr) return kNoWindow;
  const WindowHandle handle = nextHandle_;
  nextHandle_ += 2;
  NativeWindow& control = windows_[handle];
  control.handle = handle;
  control.caption = request.text;
  control.style = kStyleChild;
  control.bounds = request.bounds;
  control.parent = parent;
  control.visible = request.visible;
  control.pixels = std::make_unique<SurfaceBitmap>(1, 1, false);
  ControlWindow part;
  part.kind = request.kind;
  part.buddy = request.buddy;
  part.choices = request.choices;
  part.fontName = request.fontName;
  part.fontHeight = request.fontHeight;
  control.kind = std::move(part);
  owner = Find(parent);
  owner->controls.push_back(handle);
  // Otherwise made with the dialog, from what the control holds then.
  if (owner->Dialog() != nullptr && owner->Dialog()->window) MakeWidget(*owner, control, request);
  return handle;
}

void GtkDesktop::ShowDialog(NativeWindow& form) {
  DialogWindow& window = *form.Dialog();
  if (window.window) return;
  window.window = std::make_unique<Gtk::Window>();
  // The form lays its controls out to the pixel, at sizes the desktop's
  // dialogs have: GTK's roomier padding would push them over each other.
  auto css = Gtk::CssProvider::create();
  css->load_from_data(
      ".form button, .form entry, .form checkbutton, .form spinbutton"
      " { min-height: 0; min-width: 0; padding-top: 0; padding-bottom: 0; }"
      " .form button { padding-left: 4px; padding-right: 4px; }"
      " .form spinbutton entry { padding-left: 3px; padding-right: 0; }"
      " .form spinbutton button { min-height: 0; min-width: 0; padding: 0 1px; }"
      " .form combobox button { min-height: 0; padding-top: 0; padding-bottom: 0; }");
  window.window->get_style_context()->add_class("form");
  Gtk::StyleContext::add_provider_for_screen(window.window->get_screen(), css,
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  // A dialog made again (its style changed) replaces the one style before it.
  if (formStyle_) Gtk::StyleContext::remove_provider_for_screen(window.window->get_screen(), formStyle_);
  formStyle_ = css;
  // A form without a caption of its own shows its owner's, the application's title.
  const NativeWindow* owner = Find(form.parent);
  window.window->set_title(form.caption.empty() && owner != nullptr ? owner->caption : form.caption);
  window.window->set_resizable(false);
  auto* fixed = Gtk::manage(new Gtk::Fixed());
  window.fixed = fixed;
  fixed->set_size_request(form.bounds.Width(), form.bounds.Height());
  window.window->add(*fixed);
  const WindowHandle handle = form.handle;
  // Without a window manager nobody else gives the dialog the keyboard.
  if (!system_->GivesNewWindowsTheKeyboard()) {
    window.window->signal_map_event().connect([&window](GdkEventAny*) {
      window.window->present();
      return false;
    });
  }
  // Tab follows the order the form made its controls in, as the desktop's
  // dialogs do; GTK's own would go by where they lie.
  window.window->signal_key_press_event().connect(
      [this, handle](GdkEventKey* key) {
        const bool back = key->keyval == GDK_KEY_ISO_Left_Tab || (key->state & GDK_SHIFT_MASK) != 0;
        if (key->keyval != GDK_KEY_Tab && key->keyval != GDK_KEY_ISO_Left_Tab) return false;
        if (NativeWindow* form = Find(handle)) MoveFocus(*form, back ? -1 : 1);
        return true;
      },
      false);
  window.window->signal_delete_event().connect([this, handle](GdkEventAny*) {
    Post(Message{handle, kMsgClose, 0, 0, Now(), cursor_});
    return true;
  });
  for (const auto control : form.controls) {
    NativeWindow& c = windows_.at(control);
    const ControlWindow& part = *c.Control();
    ControlRequest request;
    request.kind = part.kind;
    request.text = c.caption;
    request.bounds = c.bounds;
    request.visible = c.visible;
    request.buddy = part.buddy;
    request.choices = part.choices;
    request.fontName = part.fontName;
    request.fontHeight = part.fontHeight;
    MakeWidget(form, c, request);
  }
  fixed->show();
  if (NativeWindow* focus = Find(form.focus); focus != nullptr && focus->Control() && focus->Control()->widget) {
    focus->Control()->widget->grab_focus();
  }
  PlaceDialog(form);
}

void GtkDesktop::MoveFocus(NativeWindow& form, int step) {
  std::vector<Gtk::Widget*> order;
  for (const auto control : form.controls) {
    const ControlWindow& part = *windows_.at(control).Control();
    Gtk::Widget* widget = part.widget.get();
    // A combo box takes the focus through the button inside it.
    const bool takesFocus = widget != nullptr && (widget->get_can_focus() || part.kind == ControlKind::kChoiceList);
    if (takesFocus && widget->is_visible() && widget->is_sensitive()) order.push_back(widget);
  }
  if (order.empty()) return;
  const Gtk::Widget* focus = form.Dialog()->window->get_focus();
  const auto focused = std::find_if(order.begin(), order.end(), [focus](Gtk::Widget* w) {
    return focus != nullptr && (focus == w || focus->is_ancestor(*w));
  });
  const auto count = static_cast<std::ptrdiff_t>(order.size());
  const std::ptrdiff_t at = focused == order.end() ? (step > 0 ? -1 : 0) : focused - order.begin();
  order[static_cast<std::size_t>(((at + step) % count + count) % count)]->grab_focus();
}

void GtkDesktop::PlaceDialog(NativeWindow& window) {
  Gtk::Window& dialog = *window.Dialog()->window;
  dialog.move(window.bounds.left, window.bounds.top);
  dialog.set_default_size(window.bounds.Width(), window.bounds.Height());
}

void GtkDesktop::MakeWidget(NativeWindow& parent, NativeWindow& control, const ControlRequest& request) {
  ControlWindow& part = *control.Control();
  const WindowHandle handle = control.handle;
  const WindowHandle form = parent.handle;
  const auto clicked = [this, handle, form] {
    Post(Message{form, kMsgCommand, static_cast<std::uintptr_t>(kNotifyClicked) << 16, handle, Now(), cursor_});
  };
  std::unique_ptr<Gtk::Widget> widget;
  switch (request.kind) {
    case ControlKind::kLabel: {
      auto label = std::make_unique<Gtk::Label>(Plain(request.text));
      label->set_xalign(0);
      widget = std::move(label);
      break;
    }
    case ControlKind::kEdit: {
      if (NativeWindow* upDown = UpDownOf(handle)) {
        widget = MakeSpinButton(*upDown, request);
        break;
      }
      auto entry = std::make_unique<Gtk::Entry>();
      entry->set_width_chars(1);
      entry->set_text(request.text);
      widget = std::move(entry);
      break;
    }
    case ControlKind::kUpDown:
      // Its arrows are those of the spin button its edit became.
      return;
    case ControlKind::kCheckBox: {
      auto check = std::make_unique<Gtk::CheckButton>(Mnemonic(request.text), true);
      check->set_active(part.checked);
      check->signal_toggled().connect([this, handle] {
        NativeWindow* c = Find(handle);
        if (c == nullptr) return;
        ControlWindow& box = *c->Control();
        box.checked = static_cast<Gtk::CheckButton*>(box.widget.get())->get_active();
      });
      // A click, not the saver setting the box, is what reaches the form.
      check->signal_clicked().connect([this, handle, clicked] {
        if (settingCheck_ != handle) clicked();
      });
      widget = std::move(check);
      break;
    }
    case ControlKind::kButton: {
      auto button = std::make_unique<Gtk::Button>(Mnemonic(request.text), true);
      button->signal_clicked().connect(clicked);
      // Alt with the underlined letter clicks at once, as on the desktop. GTK
      // would show the button pressed for a moment first and drop the click
      // if the focus moved on meanwhile (a second Alt key typed quickly).
      button->signal_mnemonic_activate().connect(
          [raw = button.get()](bool) {
            raw->grab_focus();
            raw->clicked();
            return true;
          },
          false);
      widget = std::move(button);
      break;
    }
    case ControlKind::kChoiceList: {
      auto list = std::make_unique<Gtk::ComboBoxText>();
      for (const auto& choice : request.choices) list->append(choice);
      list->set_active(part.chosen);
      list->signal_changed().connect([this, handle] {
        NativeWindow* c = Find(handle);
        if (c == nullptr) return;
        ControlWindow& choices = *c->Control();
        choices.chosen = static_cast<Gtk::ComboBoxText*>(choices.widget.get())->get_active_row_number();
      });
      widget = std::move(list);
      break;
    }
    case ControlKind::kPanel: {
      auto box = std::make_unique<Gtk::EventBox>();
      auto* frame = Gtk::manage(new Gtk::Frame());
      frame->set_shadow_type(Gtk::SHADOW_IN);
      auto* label = Gtk::manage(new Gtk::Label(Plain(request.text)));
      frame->add(*label);
      box->add(*frame);
      frame->show_all();
      box->signal_button_press_event().connect([clicked](GdkEventButton* press) {
        if (press->type == GDK_BUTTON_PRESS && press->button == 1) clicked();
        return true;
      });
      widget = std::move(box);
      break;
    }
  }
  widget->set_sensitive(control.enabled);
  parent.Dialog()->fixed->put(*widget, 0, 0);
  widget->set_visible(control.visible);
  part.widget = std::move(widget);
  LayOutWidget(parent, control);
}

void GtkDesktop::LayOutWidget(NativeWindow& parent, NativeWindow& control) {
  const ControlWindow& part = *control.Control();
  Gtk::Fixed* fixed = parent.Dialog() != nullptr ? parent.Dialog()->fixed : nullptr;
  Gtk::Widget* widget = part.widget.get();
  if (widget == nullptr || fixed == nullptr) return;
  if (part.fontHeight != 0) {
    Pango::FontDescription font(part.fontName);
    font.set_absolute_size(std::abs(part.fontHeight) * PANGO_SCALE);
    widget->override_font(font);
  }
  // A spin button spans its edit and its arrows, as the pair does on Windows.
  Rect area = control.bounds;
  if (const NativeWindow* upDown = part.kind == ControlKind::kEdit ? UpDownOf(control.handle) : nullptr) {
    area = area.Union(upDown->bounds);
  }
  widget->set_size_request(area.Width(), area.Height());
  fixed->move(*widget, area.left, area.top);
}

void GtkDesktop::SetControlLayout(WindowHandle handle, const Rect& bounds, const std::string& fontName,
                                  std::int32_t fontHeight) {
  NativeWindow* control = Find(handle);
  if (control == nullptr || control->Control() == nullptr) return;
  ControlWindow& part = *control->Control();
  control->bounds = bounds;
  part.fontName = fontName;
  part.fontHeight = fontHeight;
  NativeWindow* parent = Find(control->parent);
  if (parent == nullptr) return;
  // The arrows of an up-down are drawn by the spin button of its edit.
  NativeWindow* shown = part.kind == ControlKind::kUpDown ? Find(part.buddy) : control;
  if (shown != nullptr) LayOutWidget(*parent, *shown);
}

NativeWindow* GtkDesktop::UpDownOf(WindowHandle edit) {
  for (auto& [handle, window] : windows_) {
    const ControlWindow* control = window.Control();
    if (control != nullptr && control->kind == ControlKind::kUpDown && control->buddy == edit) return &window;
  }
  return nullptr;
}

std::unique_ptr<Gtk::Widget> GtkDesktop::MakeSpinButton(NativeWindow& upDown, const ControlRequest& request) {
  // The adjustment only counts the clicks: it rests in the middle of a range
  // of three, so that GTK never greys an arrow out nor clamps, and every step
  // goes through StepUpDown, which reads the edit as the desktop's up-down does.
  auto steps = Gtk::Adjustment::create(1, 0, 2, 1, 0);
  auto spin = std::make_unique<Gtk::SpinButton>(steps);
  spin->set_numeric(false);
  spin->set_width_chars(4);  // the designed edit shows four digits beside the arrows
  spin->set_text(request.text);
  // What the user typed stays as typed: the settings read the text, not a value.
  spin->signal_input().connect([](double* value) {
    *value = 1;
    return 1;
  });
  spin->signal_output().connect([] { return true; });
  const WindowHandle upDownHandle = upDown.handle;
  spin->signal_value_changed().connect([this, upDownHandle, steps] {
    const int delta = static_cast<int>(std::lround(steps->get_value())) - 1;
    if (delta == 0) return;
    steps->set_value(1);
    if (NativeWindow* arrows = Find(upDownHandle)) StepUpDown(*arrows, delta);
  });
  return spin;
}

void GtkDesktop::StepUpDown(NativeWindow& upDown, int delta) {
  // From the number the edit shows, as the desktop's up-down reads its buddy.
  const ControlWindow& arrows = *upDown.Control();
  long current = arrows.position;
  if (const auto shown = NumberIn(ControlText(arrows.buddy))) current = *shown;
  const long next = std::clamp<long>(current + delta, arrows.low, arrows.high);
  SetUpDownPosition(upDown.handle, static_cast<std::int16_t>(next));
}

std::string GtkDesktop::ControlText(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  if (window == nullptr) return {};
  if (const ControlWindow* control = window->Control();
      control != nullptr && control->kind == ControlKind::kEdit && control->widget) {
    return static_cast<const Gtk::Entry*>(control->widget.get())->get_text();
  }
  return window->caption;
}

void GtkDesktop::SetControlText(WindowHandle handle, const std::string& text) {
  NativeWindow* window = Find(handle);
  if (window == nullptr) return;
  window->caption = text;
  if (DialogWindow* dialog = window->Dialog(); dialog != nullptr && dialog->window) dialog->window->set_title(text);
  const ControlWindow* control = window->Control();
  if (control == nullptr || !control->widget) return;
  switch (control->kind) {
    case ControlKind::kEdit:
      static_cast<Gtk::Entry*>(control->widget.get())->set_text(text);
      break;
    case ControlKind::kLabel:
      static_cast<Gtk::Label*>(control->widget.get())->set_text(Plain(text));
      break;
    case ControlKind::kButton:
    case ControlKind::kCheckBox:
      static_cast<Gtk::Button*>(control->widget.get())->set_label(Mnemonic(text));
      break;
    default:
      break;
  }
}

bool GtkDesktop::IsChecked(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window != nullptr && window->Control() != nullptr && window->Control()->checked;
}

void GtkDesktop::SetChecked(WindowHandle handle, bool checked) {
  NativeWindow* window = Find(handle);
  if (window == nullptr || window->Control() == nullptr) return;
  ControlWindow& box = *window->Control();
  box.checked = checked;
  if (!box.widget) return;
  settingCheck_ = handle;
  static_cast<Gtk::CheckButton*>(box.widget.get())->set_active(checked);
  settingCheck_ = kNoWindow;
}

void GtkDesktop::SetUpDownRange(WindowHandle handle, std::int16_t low, std::int16_t high) {
  if (NativeWindow* window = Find(handle); window != nullptr && window->Control() != nullptr) {
    window->Control()->low = low;
    window->Control()->high = high;
  }
}

std::int16_t GtkDesktop::UpDownPosition(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window == nullptr || window->Control() == nullptr ? 0 : window->Control()->position;
}

void GtkDesktop::SetUpDownPosition(WindowHandle handle, std::int16_t position) {
  NativeWindow* window = Find(handle);
  if (window == nullptr || window->Control() == nullptr) return;
  ControlWindow& upDown = *window->Control();
  upDown.position = std::clamp(position, upDown.low, upDown.high);
  // The up-down writes its number into the edit attached to it.
  if (upDown.buddy != kNoWindow) SetControlText(upDown.buddy, std::to_string(upDown.position));
}

std::int32_t GtkDesktop::ChosenIndex(WindowHandle handle) {
  const NativeWindow* window = Find(handle);
  return window == nullptr || window->Control() == nullptr ? -1 : window->Control()->chosen;
}

void GtkDesktop::SetChosenIndex(WindowHandle handle, std::int32_t index) {
  NativeWindow* window = Find(handle);
  if (window == nullptr || window->Control() == nullptr) return;
  ControlWindow& list = *window->Control();
  list.chosen = index;
  if (list.widget) static_cast<Gtk::ComboBoxText*>(list.widget.get())->set_active(list.chosen);
}

Gtk::Window* GtkDesktop::DialogOf(WindowHandle handle) {
  NativeWindow* window = Find(handle);
  DialogWindow* dialog = window != nullptr ? window->Dialog() : nullptr;
  return dialog != nullptr ? dialog->window.get() : nullptr;
}

std::optional<std::string> GtkDesktop::ChooseFolder(WindowHandle owner, const std::string& title,
                                                   const std::string& start) {
  Gtk::FileChooserDialog chooser(title, Gtk::FILE_CHOOSER_ACTION_SELECT_FOLDER);
  chooser.add_button("_Cancel", Gtk::RESPONSE_CANCEL);
  chooser.add_button("_Select", Gtk::RESPONSE_ACCEPT);
  chooser.set_default_response(Gtk::RESPONSE_ACCEPT);
  chooser.set_local_only(true);
  chooser.set_default_size(640, 420);
  chooser.set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  Gtk::Window* dialog = DialogOf(owner);
  if (dialog != nullptr) chooser.set_transient_for(*dialog);
  // Where the user left off, else their own folder rather than GTK's recent files.
  chooser.set_current_folder(start.empty() ? Glib::get_home_dir() : start);
  // Without a window manager nobody else gives the chooser the keyboard.
  const bool handOver = !system_->GivesNewWindowsTheKeyboard();
  if (handOver) {
    chooser.signal_map_event().connect([&chooser](GdkEventAny*) {
      chooser.present();
      return false;
    });
  }
  const int response = chooser.run();
  chooser.hide();
  // The keyboard goes back to the dialog, which nobody else hands it to
  // without a window manager.
  if (Gtk::Window* shown = DialogOf(owner); shown != nullptr && handOver) shown->present();
  if (response != Gtk::RESPONSE_ACCEPT) return std::nullopt;
  const std::string chosen = chooser.get_filename();
  if (chosen.empty()) return std::nullopt;
  return chosen;
}

}  // namespace orvanel::platform::gtk
