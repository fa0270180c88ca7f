#pragma once
// A saver on a simulated desktop with settings stored beforehand, for the
// slideshow's tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "shell/main_window.h"
#include "support/sim_saver.h"

namespace orvanel::testing {

class SlideshowFixture : public ::testing::Test {
 protected:
  // Stores the settings, lays out the monitors and starts the saver.
  SimSaver& Start(const std::string& arguments, const settings::Settings& stored,
                  std::vector<platform::Rect> monitors = {platform::Rect{0, 0, 1024, 768}}) {
    desktop.SetMonitors(std::move(monitors), 0);
    {
      platform::sim::SimProcess writer(desktop, "orvanel.scr");
      settings::SaveSettings(writer, stored);
    }
    instance = std::make_unique<SimSaver>(desktop, arguments);
    EXPECT_TRUE(instance->Start());
    return *instance;
  }

  instance::Saver& saver() { return instance->saver; }

  // Writes a file of the simulated desktop, its folders made as needed.
  void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const auto host = desktop.HostPath(path);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
  }
  shell::TfrmSAVER& main() { return instance->MainWindow(); }

  // The opacity values a window went through, creation included.
  std::vector<int> Opacities(forms::Form& window) {
    std::vector<int> values;
    for (const auto& change : desktop.Find(window.Handle())->alphaHistory) values.push_back(change.alpha);
    return values;
  }

  platform::sim::SimDesktop desktop;
  std::unique_ptr<SimSaver> instance;
};

}  // namespace orvanel::testing
