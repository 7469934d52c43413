// klipfang-site: serves the bundled video site, or a folder of the user's own videos. Started with
// --probe-worker it is the FFmpeg worker of a running site instead. The test faults are not in it.
#include "site/command_line/run_site.h"

int main(int argc, char **argv) {
  return kf::site::siteMain({argv + 1, argv + argc}, nullptr);
}
