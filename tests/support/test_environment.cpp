// Compiled into every test program: the environment the suite needs, set before main() so that it
// holds however the program is started (ctest, by hand, under a debugger). Values already set by the
// caller win, but for the runtime folder.
#include <cstdlib>
#include <filesystem>
#include <string>

// Everything here runs before main(), before any thread: setenv is safe then.
// NOLINTBEGIN(concurrency-mt-unsafe)
namespace {

// The program listens in the user's runtime folder for later starts on its folder. A test's
// programs listen in a folder of the test's own, never the real user's, and the folder goes with
// the test program. A test program started by another (a death test's child) keeps its parent's.
class PrivateRuntimeFolder {
 public:
  PrivateRuntimeFolder() {
    const char *inherited = std::getenv("XDG_RUNTIME_DIR");
    if (inherited && std::filesystem::path(inherited).filename().string().starts_with(kPrefix)) return;
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(kPrefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data())) path_ = pattern;  // made for this user alone
    ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
  }
  ~PrivateRuntimeFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

 private:
  static constexpr const char *kPrefix = "klipfang-runtime-";
  std::string path_;  // empty where the folder is the parent's
};

const bool kEnvironmentReady = [] {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Chromium refuses to start as root with its sandbox on; background traffic would only meet the
  // closed network.
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS",
           "--no-sandbox --disable-gpu --disable-background-networking --disable-component-update", 0);
  ::setenv("KF_TEST_DATA", KF_TEST_DATA_DIR, 0);
  return true;
}();

const PrivateRuntimeFolder kRuntimeFolder;

}  // namespace
// NOLINTEND(concurrency-mt-unsafe)
