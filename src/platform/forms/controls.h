#pragma once
// The controls of the settings dialog. Each keeps its own state so it can be
// set before its parent's window exists and survive the window's re-creation;
// while the native control exists, reads and writes go to it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace orvanel::forms {

class Form;

class Control {
 public:
  Control(Form& owner, platform::ControlKind kind, std::string name, platform::Rect bounds,
          std::string text);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  platform::ControlKind Kind() const { return kind_; }
  platform::WindowHandle Handle() const { return handle_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  std::string Text() const;
  void SetText(const std::string& text);

  // Creates the native control inside the owner's window.
  void CreateNative(platform::WindowHandle parent);
  // Places the native control and sizes its font anew at the owner's DPI.
  void LayOutNative();
  // The owner's window is gone and its children with it.
  void ForgetNative() { SaveState(); handle_ = platform::kNoWindow; }

 protected:
  platform::Desktop& Desktop() const;
  virtual void SaveState();
  virtual void RestoreState() {}
  virtual platform::WindowHandle Buddy() const { return platform::kNoWindow; }
  virtual std::vector<std::string> Choices() const { return {}; }

 private:
  Form& owner_;
  platform::ControlKind kind_;
  std::string name_;
  platform::Rect bounds_;
  std::string text_;
  bool visible_ = false;
  platform::WindowHandle handle_ = platform::kNoWindow;
};

class Label : public Control {
 public:
  Label(Form& owner, std::string name, platform::Rect bounds, std::string text)
      : Control(owner, platform::ControlKind::kLabel, std::move(name), bounds, std::move(text)) {}
};

class Edit : public Control {
 public:
  Edit(Form& owner, std::string name, platform::Rect bounds, std::string text)
      : Control(owner, platform::ControlKind::kEdit, std::move(name), bounds, std::move(text)) {}
};

class Button : public Control {
 public:
  Button(Form& owner, std::string name, platform::Rect bounds, std::string text)
      : Control(owner, platform::ControlKind::kButton, std::move(name), bounds, std::move(text)) {}
};

class Panel : public Control {
 public:
  Panel(Form& owner, std::string name, platform::Rect bounds, std::string text)
      : Control(owner, platform::ControlKind::kPanel, std::move(name), bounds, std::move(text)) {}
};

class CheckBox : public Control {
 public:
  CheckBox(Form& owner, std::string name, platform::Rect bounds, std::string text)
      : Control(owner, platform::ControlKind::kCheckBox, std::move(name), bounds,
                std::move(text)) {}
  bool Checked() const;
  void SetChecked(bool checked);

 private:
  void SaveState() override;
  void RestoreState() override;
  bool checked_ = false;
};

// Up-down arrows attached to an edit; the position takes 16 signed bits.
class UpDown : public Control {
 public:
  UpDown(Form& owner, std::string name, platform::Rect bounds, Edit& buddy, std::int16_t min,
         std::int16_t max, std::int16_t position)
      : Control(owner, platform::ControlKind::kUpDown, std::move(name), bounds, ""),
        buddy_(buddy), min_(min), max_(max), position_(position) {}
  std::int16_t Min() const { return min_; }
  std::int16_t Max() const { return max_; }
  std::int16_t Position() const;
  void SetPosition(std::int16_t position);

 private:
  void SaveState() override;
  void RestoreState() override;
  platform::WindowHandle Buddy() const override { return buddy_.Handle(); }
  Edit& buddy_;
  std::int16_t min_;
  std::int16_t max_;
  std::int16_t position_;
};

// A drop-down list of fixed items, one of them chosen.
class ChoiceList : public Control {
 public:
  ChoiceList(Form& owner, std::string name, platform::Rect bounds, std::vector<std::string> choices)
      : Control(owner, platform::ControlKind::kChoiceList, std::move(name), bounds, ""),
        choices_(std::move(choices)) {}
  // From 0; -1 when none is chosen.
  std::int32_t Chosen() const;
  void SetChosen(std::int32_t index);

 private:
  void SaveState() override;
  void RestoreState() override;
  std::vector<std::string> Choices() const override { return choices_; }
  std::vector<std::string> choices_;
  std::int32_t chosen_ = -1;
};

}  // namespace orvanel::forms
