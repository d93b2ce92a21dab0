// Runs GUI tests on Qt's offscreen platform, with the program's own skin.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  kd::Application app(argc, argv);
  kd::ApplySkin(app);
  kd::InstallTranslations(app);
  return RUN_ALL_TESTS();
}
