// The settings file and the main window of the real orvanel.scr under Wine.
//   Folder: a run makes the settings folder and nothing else.
//   Stored values: a file written beforehand reaches the settings dialog's controls.
//   Config: the dialog locks "Display Properties" while it is open.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "wine/wine_test.h"

namespace orvanel::wine {
namespace {

class WineSettings : public WineTest {
 protected:
  void SetUp() override {
    place = Settings();
    ASSERT_NE(place.appData, "-");
    RemoveSettings(place);
    ASSERT_EQ(session->Command("entries " + place.folder), "-");
  }
  void TearDown() override { RemoveSettings(place); }

  // The names of an "entries" answer.
  static std::set<std::string> Names(const std::string& entries) {
    std::set<std::string> names;
    std::istringstream words(entries);
    for (std::string name; words >> name;) {
      if (name != "-") names.insert(name);
    }
    return names;
  }

  SettingsPlace place;
};

TEST_F(WineSettings, AFullScreenRunMakesTheSettingsFolderAndNothingElse) {
  const auto before = session->Command("entries " + place.appData);
  const auto pid = Launch("/s");
  const auto main = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(main.empty());
  ASSERT_EQ(session->Command("post " + main + " 16"), "ok");
  ASSERT_EQ(AwaitExit(pid), "exited 0");

  auto expected = Names(before);
  expected.insert("vorlanthix");
  EXPECT_EQ(Names(session->Command("entries " + place.appData)), expected);
  EXPECT_EQ(session->Command("entries " + place.folder), "-");
}

TEST_F(WineSettings, StoredValuesReachTheDialogAndDisplayPropertiesIsLockedWhileItIsOpen) {
  ASSERT_EQ(StoreSetting(place, "Speed", "0x1F"), "ok");
  ASSERT_EQ(StoreSetting(place, "Random", "0"), "ok");

  const auto host = WineSession::Value(session->Command("host 152 112"));
  const auto properties = WineSession::Value(session->Command("titled Display Properties"));
  ASSERT_EQ(session->Command("enabled " + properties), "1");
  const auto pid = Launch("/c:" + host);
  const auto dialog = FindWindow(pid, "TfrmSAVER");
  ASSERT_FALSE(dialog.empty());
  const auto controls = session->Command("controls " + dialog);
  EXPECT_NE(controls.find("Edit|31|-1|1 "), std::string::npos) << controls;
  EXPECT_NE(controls.find("Button|Show random images|0|1 "), std::string::npos) << controls;
  EXPECT_NE(controls.find("Button|Blend |1|1 "), std::string::npos) << controls;
  EXPECT_NE(controls.find("|Label1|-1|0 "), std::string::npos) << controls;
  EXPECT_EQ(session->Command("enabled " + properties), "0");

  ASSERT_EQ(session->Command("post " + dialog + " 16"), "ok");
  EXPECT_EQ(AwaitExit(pid), "exited 0");
  EXPECT_EQ(session->Command("enabled " + properties), "1");
  EXPECT_EQ(session->Command("mutex SaverConfigMode"), "absent");
  session->Command("destroy " + properties);
  session->Command("destroy " + host);
}

}  // namespace
}  // namespace orvanel::wine
