// Compiled into every test program: the environment the suite needs, set before main() so that it
// holds however the program is started (ctest, by hand, under a debugger). Values already set by the
// caller win.
#include <cstdlib>

namespace {

const bool kEnvironmentReady = [] {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Chromium refuses to start as root with its sandbox on; background traffic would only meet the
  // closed network.
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS",
           "--no-sandbox --disable-gpu --disable-background-networking --disable-component-update", 0);
  ::setenv("KF_TEST_DATA", KF_TEST_DATA_DIR, 0);
  return true;
}();

}  // namespace
