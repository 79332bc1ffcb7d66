// libFuzzer target: builds a registry, an environment, files and start
// failures from its input and runs the whole launch against the in-memory
// platform. Besides the sanitizers' checks it asserts what must hold after
// any run: a run ends only through one successful start, and a run that
// returns has closed every key and shown the window.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "launcher/Form1.h"
#include "platform/FakePlatform.h"

namespace {

using velmorant::FakePlatform;

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::string Text(std::size_t limit) {
    const std::size_t length =
        std::min<std::size_t>(Byte() % (limit + 1), size_ - std::min(at_, size_));
    std::string text(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

const char* const kRoots[] = {
    "Software\\JavaSoft\\Java Runtime Environment\\",
    "Software\\JavaSoft\\Java Development Kit\\",
    "Software\\JavaSoft\\Java Plug-in\\",
};
const char* const kVersions[] = {"6.0", "1.6", "1.6.0", "1.5.0_22", "1.6.0_07", "10.0.2"};
const char* const kPlaces[] = {
    "c:\\java\\bin\\java.exe",
    "c:\\windows\\system\\java.exe",
    "c:\\windows\\system32\\java.exe",
    "c:\\winnt\\system32\\java.exe",
    "C:\\WINDOWS\\java.exe",
    "C:\\Apps\\Velmorant\\Velmorant.jar",
    "C:\\Apps\\Velmorant\\openFile.bat",
};

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FakePlatform fake;
  Input in(data, size);
  std::string lastKey = kRoots[0];
  while (!in.empty()) {
    switch (in.Byte() % 9) {
      case 0:  // a subkey of the scanned key, with a name of any bytes
        lastKey = kRoots[0] + in.Text(300);
        fake.AddKey(lastKey);
        break;
      case 1:  // a key of the fixed search
        lastKey = std::string(kRoots[in.Byte() % 3]) + kVersions[in.Byte() % 6];
        fake.AddKey(lastKey);
        break;
      case 2: {  // a JavaHome of any type and any bytes under the last key
        const std::uint32_t type = in.Byte() % 9;
        fake.SetValue(lastKey, "JavaHome", type, in.Text(255));
        break;
      }
      case 3:
        fake.AddFile(kPlaces[in.Byte() % 7]);
        break;
      case 4:
        fake.AddFolder(kPlaces[in.Byte() % 7]);
        break;
      case 5:
        fake.environment["SYSTEMROOT"] = in.Text(300);
        break;
      case 6:
        fake.failNextStarts = in.Byte() % 16;
        break;
      case 7:
        fake.FailEnumeration(kRoots[0], in.Byte() % 8, in.Byte() % 2 ? 234 : 5);
        break;
      case 8:
        fake.commandLineArgs = in.Text(255);
        break;
    }
  }

  bool ended = false;
  try {
    velmorant::Form1::Run(fake);
  } catch (const FakePlatform::ProgramEnded&) {
    ended = true;
  }
  if (ended) {
    Check(fake.endCalls == 1 && fake.starts.size() == 1);
    Check(fake.starts[0].environment.count("PATH") == 1);
    Check(!fake.windowShown);
  } else {
    Check(fake.starts.empty() && fake.OpenKeyCount() == 0 && fake.windowShown);
  }
  Check(fake.environment.at("filetouse") == fake.commandLineArgs);
  return 0;
}
