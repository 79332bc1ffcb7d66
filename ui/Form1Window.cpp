// The failure window: Form1's fixed layout and message, and its life as the
// start-up object. Form1 describes its window, hidden, when it is created; the
// platform builds and shows it only when the load step has returned, that is
// when nothing could be started.
#include <string>

#include "launcher/Form1.h"

namespace velmorant {

const char* const Form1::kDownloadAddress = "https://www.java.com";

Form1::Form1(Platform& platform) : platform_(platform), trace_(platform) {
  platform_.CreateFormWindow(Layout());
}

int Form1::Run(Platform& platform) {
  Form1 form(platform);
  form.Form_Load();
  return platform.RunFormWindow();
}

WindowDescription Form1::Layout() {
  using Kind = ControlDescription::Kind;
  std::string message =
      "Sorry, the Kestrelwick program could not locate your Java software. This may occur if "
      "Java is not installed, or your Java version is too old. Visit ";
  message += kDownloadAddress;
  message +=
      " to get the latest version of Java, or try running the program using one of the other "
      "links in the start menu.";

  WindowDescription form;
  form.caption = "Java Kestrelwick";
  form.clientWidth = 4590;
  form.clientHeight = 1185;
  // File1 lies wholly below the client area: present and focusable, never seen.
  form.controls.push_back({Kind::kFileList, 3480, 2280, 1215, 480, {}});
  form.controls.push_back({Kind::kLabel, 120, 120, 4335, 1095, std::move(message)});
  return form;
}

}  // namespace velmorant
