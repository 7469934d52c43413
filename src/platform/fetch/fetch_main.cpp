// klipfang-fetch: the browser program Klipfang starts for an address. Started visible it hands the
// page to the desktop's browser; started hidden (a desktop browser cannot be) it saves the file the
// address answers into the user's download folder and tells the desktop where it is. It speaks to the
// desktop, so its texts are UTF-8.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/fetch/download_folder.h"
#include "platform/fetch/http_download.h"
#include "platform/fetch/notify.h"
#include "platform/shell/shell_execute.h"
#include "platform/text/cp1252.h"

namespace {

// The show mode was meant for this program alone: nothing it starts inherits it.
bool takeShowMode() {
  const char *mode = std::getenv(kf::shell::kShowModeVariable);
  const bool visible = mode != nullptr && std::string_view(mode) != "0";
  ::unsetenv(kf::shell::kShowModeVariable);
  return visible;
}

bool isWebAddress(std::string_view address) {
  const std::string scheme = kf::text::lower(address.substr(0, address.find(':')));
  return (scheme == "http" || scheme == "https") && address.substr(scheme.size()).starts_with("://");
}

// Only web pages go to the browser: a local file or another scheme handed to the desktop's opener
// could start a program.
int openInBrowser(const std::string &address) {
  if (!isWebAddress(address)) {
    std::fprintf(stderr, "klipfang-fetch: keine Webadresse: %s\n", address.c_str());
    return 2;
  }
  std::string program = "xdg-open";
  std::string argument = address;
  char *argv[] = {program.data(), argument.data(), nullptr};
  ::execvp(program.c_str(), argv);
  std::fprintf(stderr, "klipfang-fetch: xdg-open nicht startbar: %s\n", std::strerror(errno));
  return 127;
}

int download(const std::string &address) {
  const std::string folder = kf::fetch::downloadFolder();
  std::error_code ignored;  // a folder that cannot be made shows when the file cannot be created in it
  std::filesystem::create_directories(folder, ignored);
  const kf::fetch::DownloadResult result = kf::fetch::downloadFile(address, folder);
  if (result.saved) {
    std::printf("%s\n", result.path.c_str());
    kf::fetch::notifyDesktop("Download abgeschlossen", "Gespeichert unter " + result.path);
    return 0;
  }
  std::fprintf(stderr, "klipfang-fetch: %s: %s\n", address.c_str(), result.problem.c_str());
  kf::fetch::notifyDesktop("Download fehlgeschlagen", address + "\n" + result.problem);
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Aufruf: klipfang-fetch ADRESSE\n");
    return 2;
  }
  return takeShowMode() ? openInBrowser(argv[1]) : download(argv[1]);
}
