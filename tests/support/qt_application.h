#pragma once

#include <QApplication>
#include <cstdlib>

#include "tests/support/test_support.h"

namespace snipora::test {

// The one application of a widget test program, made on first use. It is
// never destroyed: Qt crashes when its application object dies during static
// destruction. Settings go to a folder of the test program, never to the
// user's.
inline QApplication& EnsureApplication() {
  static TempDir configHome;
  setenv("XDG_CONFIG_HOME", configHome.path().c_str(), 1);
  static int argc = 1;
  static char name[] = "snipora-test";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

}  // namespace snipora::test
