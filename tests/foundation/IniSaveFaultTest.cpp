// A settings save killed outright at any moment leaves the old settings or
// the new ones, whole, under the settings file's name.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "foundation/ini.h"
#include "tests/foundation/ini_test_support.h"
#include "tests/support/test_support.h"

namespace snipora {
namespace {

// A tree of about 2 MB of text, so that one save takes a while.
std::string FillTree(IniEx& ini, const char* value) {
  for (int section = 0; section < 20; ++section) {
    const std::string name = "S" + std::to_string(section);
    ini.CreateSection(name.c_str());
    ini.ChangeSection(name.c_str());
    for (int key = 0; key < 2000; ++key) {
      ini.Value(("key" + std::to_string(key)).c_str()).Assign(value);
    }
    ini.ChangeSection("..");
  }
  CStr_base<64> text;
  ini.SaveText(text);
  return text.Buffer();
}

TEST(IniSaveFault, KilledWhileSavingLeavesTheOldOrTheNewFileWhole) {
  test::TempDir dir;
  const std::string path = dir.File("snipora.ini");
  IniEx first, second;
  const std::string firstText = FillTree(first, "the first settings, long enough");
  const std::string secondText = FillTree(second, "the second settings");
  ASSERT_TRUE(first.Save(path.c_str()));

  for (int delayMs : {0, 1, 2, 3, 5, 8, 13, 21}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int round = 0;; ++round) (round % 2 ? first : second).Save(path.c_str());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    const std::string text = test::ReadText(path);
    ASSERT_TRUE(text == firstText || text == secondText)
        << "killed after " << delayMs << " ms: " << text.size() << " bytes";
  }
  // What killed saves leave is beside the file under names of their own.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "snipora.ini" || name.rfind("snipora.ini.tmp-", 0) == 0) << name;
  }
}

}  // namespace
}  // namespace snipora
