// The failure window's fixed contents.
#include <gtest/gtest.h>

#include "launcher/Form1.h"

namespace velmorant {
namespace {

TEST(WindowLayoutTest, MessageIsThreePiecesWithTheAddressInTheMiddle) {
  const WindowDescription form = Form1::Layout();
  ASSERT_EQ(form.controls.size(), 2u);
  EXPECT_EQ(form.controls[0].kind, ControlDescription::Kind::kFileList);
  EXPECT_EQ(form.controls[1].kind, ControlDescription::Kind::kLabel);
  const std::string expected =
      std::string(
          "Sorry, the Kestrelwick program could not locate your Java software. This may "
          "occur if Java is not installed, or your Java version is too old. Visit ") +
      Form1::kDownloadAddress +
      " to get the latest version of Java, or try running the program using one of the other "
      "links in the start menu.";
  EXPECT_EQ(form.controls[1].text, expected);
  EXPECT_EQ(form.controls[1].text.find('\n'), std::string::npos);
}

TEST(WindowLayoutTest, FileListLiesWhollyBelowTheClientArea) {
  const WindowDescription form = Form1::Layout();
  EXPECT_GT(form.controls[0].top, form.clientHeight);
}

}  // namespace
}  // namespace velmorant
