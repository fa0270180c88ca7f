#include "platform/forms/controls.h"

#include <algorithm>

#include "platform/forms/form.h"

namespace orvanel::forms {

using platform::kNoWindow;

Control::Control(Form& owner, platform::ControlKind kind, std::string name, platform::Rect bounds,
                 std::string text)
    : owner_(owner), kind_(kind), name_(std::move(name)), bounds_(bounds), text_(std::move(text)) {}

platform::Desktop& Control::Desktop() const { return owner_.Desktop(); }

void Control::SetVisible(bool visible) {
  visible_ = visible;
  if (handle_ != kNoWindow) Desktop().ShowWindow(handle_, visible);
}

std::string Control::Text() const {
  return handle_ != kNoWindow ? Desktop().ControlText(handle_) : text_;
}

void Control::SetText(const std::string& text) {
  text_ = text;
  if (handle_ != kNoWindow) Desktop().SetControlText(handle_, text);
}

void Control::SaveState() {
  if (handle_ != kNoWindow) text_ = Desktop().ControlText(handle_);
}

void Control::CreateNative(platform::WindowHandle parent) {
  platform::ControlRequest request;
  request.kind = kind_;
  request.text = text_;
  request.bounds = owner_.Scaled(bounds_);
  request.visible = visible_;
  request.buddy = Buddy();
  request.choices = Choices();
  request.fontName = owner_.Design().fontName;
  request.fontHeight = owner_.Scaled(owner_.Design().fontHeight);
  handle_ = Desktop().CreateControl(parent, request);
  if (handle_ != kNoWindow) RestoreState();
}

void Control::LayOutNative() {
  if (handle_ == kNoWindow) return;
  Desktop().SetControlLayout(handle_, owner_.Scaled(bounds_), owner_.Design().fontName,
                             owner_.Scaled(owner_.Design().fontHeight));
}

bool CheckBox::Checked() const {
  return Handle() != kNoWindow ? Desktop().IsChecked(Handle()) : checked_;
}

void CheckBox::SetChecked(bool checked) {
  checked_ = checked;
  if (Handle() != kNoWindow) Desktop().SetChecked(Handle(), checked);
}

void CheckBox::SaveState() {
  Control::SaveState();
  if (Handle() != kNoWindow) checked_ = Desktop().IsChecked(Handle());
}

void CheckBox::RestoreState() { Desktop().SetChecked(Handle(), checked_); }

std::int16_t UpDown::Position() const {
  return Handle() != kNoWindow ? Desktop().UpDownPosition(Handle()) : position_;
}

void UpDown::SetPosition(std::int16_t position) {
  position_ = std::clamp(position, min_, max_);
  if (Handle() != kNoWindow) Desktop().SetUpDownPosition(Handle(), position_);
}

void UpDown::SaveState() {
  if (Handle() != kNoWindow) position_ = Desktop().UpDownPosition(Handle());
}

void UpDown::RestoreState() {
  Desktop().SetUpDownRange(Handle(), min_, max_);
  Desktop().SetUpDownPosition(Handle(), position_);
}

std::int32_t ChoiceList::Chosen() const {
  return Handle() != kNoWindow ? Desktop().ChosenIndex(Handle()) : chosen_;
}

void ChoiceList::SetChosen(std::int32_t index) {
  chosen_ = index >= 0 && index < static_cast<std::int32_t>(choices_.size()) ? index : -1;
  if (Handle() != kNoWindow) Desktop().SetChosenIndex(Handle(), chosen_);
}

void ChoiceList::SaveState() {
  if (Handle() != kNoWindow) chosen_ = Desktop().ChosenIndex(Handle());
}

void ChoiceList::RestoreState() { Desktop().SetChosenIndex(Handle(), chosen_); }

}  // namespace orvanel::forms
