#pragma once
// klipfang-site's run: the catalogue the options ask for, served until Ctrl+C or SIGTERM, or, for a
// launcher, until its input ends.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "site/command_line/options.h"
#include "site/http/server.h"

namespace kf::site {

// Answers the program's exit status. `faultWords` makes the detour that answers the test faults'
// reserved words; the installed program has none and refuses --fault-words.
int runSite(const SiteOptions &options, const std::function<std::shared_ptr<Detour>()> &faultWords);

// The whole program on its arguments (without its name): the FFmpeg worker, or a run.
int siteMain(const std::vector<std::string> &arguments, const std::function<std::shared_ptr<Detour>()> &faultWords);

}  // namespace kf::site
