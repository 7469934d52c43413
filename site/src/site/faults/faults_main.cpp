// klipfang-site-faults: klipfang-site with the test faults, which answer their reserved words when
// it is started with --fault-words. Built for tests and trials by hand, never installed.
#include "site/command_line/run_site.h"
#include "site/faults/faults.h"

int main(int argc, char **argv) {
  return kf::site::siteMain({argv + 1, argv + argc}, [] { return std::make_shared<kf::site::FaultControl>(); });
}
