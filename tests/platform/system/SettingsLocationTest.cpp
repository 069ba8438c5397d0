#include "platform/system/settings_location.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace snipora {
namespace {

struct LocationCase {
  const char* name;
  const char* xdgConfigHome;
  const char* home;
  const char* expected;
};

TEST(SettingsLocationTest, FollowsXdgConfigHomeThenHome) {
  const LocationCase cases[] = {
      {"xdg", "/x/cfg", "/home/u", "/x/cfg/snipora/snipora.ini"},
      {"xdg with slash", "/x/cfg/", "/home/u", "/x/cfg/snipora/snipora.ini"},
      {"empty xdg", "", "/home/u", "/home/u/.config/snipora/snipora.ini"},
      {"relative xdg ignored", "cfg", "/home/u", "/home/u/.config/snipora/snipora.ini"},
      {"unset xdg", nullptr, "/home/u/", "/home/u/.config/snipora/snipora.ini"},
      {"nothing", nullptr, nullptr, ""},
      {"relative xdg, no home", "cfg", "", ""},
  };
  for (const LocationCase& c : cases) {
    EXPECT_EQ(SettingsFilePath(c.xdgConfigHome, c.home), c.expected) << c.name;
  }
}

// Restores an environment variable when the test ends.
class EnvironmentScope {
 public:
  explicit EnvironmentScope(const char* name) : name_(name) {
    const char* value = std::getenv(name);
    if (value != nullptr) saved_ = value;
    wasSet_ = value != nullptr;
  }
  ~EnvironmentScope() {
    if (wasSet_) {
      setenv(name_, saved_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string saved_;
  bool wasSet_ = false;
};

TEST(SettingsLocationTest, ReadsTheProcessEnvironment) {
  EnvironmentScope xdg("XDG_CONFIG_HOME");
  EnvironmentScope home("HOME");
  setenv("XDG_CONFIG_HOME", "/tmp/xdg-here", 1);
  EXPECT_EQ(SettingsFilePath(), "/tmp/xdg-here/snipora/snipora.ini");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/tmp/home-here", 1);
  EXPECT_EQ(SettingsFilePath(), "/tmp/home-here/.config/snipora/snipora.ini");
  // Without HOME the user database still names a home folder.
  unsetenv("HOME");
  const std::string fallback = SettingsFilePath();
  EXPECT_FALSE(fallback.empty());
  EXPECT_NE(fallback.find("/.config/snipora/snipora.ini"), std::string::npos);
}

}  // namespace
}  // namespace snipora
