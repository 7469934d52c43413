#pragma once
// What the program is told at start: nothing (the built-in site), another site, or a request for
// help. Anything else is refused before the program touches its folder: `--library`, which the
// installed launcher turns into a site of the user's own on the folder and `--site`, and the
// launcher's reason for starting no program (`--launcher-error TEXT`), shown as the program shows
// its own.
#include <string>
#include <vector>

#include "net/site_address.h"

namespace kf::windows {

struct CommandLine {
  enum class Action { Run, Help, Refuse };
  Action action = Action::Run;
  net::SiteAddress site;  // Run: the site this run talks to
  std::string complaint;  // Refuse: what is wrong, in German, Windows-1252, with the usage below it
                          // (none below the launcher's reason)
};

// `args` without the program's name, as the system hands them over (UTF-8). `--help` (or `-h`)
// anywhere asks for the usage.
CommandLine parseCommandLine(const std::vector<std::string> &args, const net::SiteAddress &builtIn);

// The usage in German, Windows-1252.
std::string usage(const net::SiteAddress &builtIn);

}  // namespace kf::windows
