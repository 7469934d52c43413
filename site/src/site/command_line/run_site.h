#pragma once
// klipfang-site's run: the catalogue the options ask for, served until Ctrl+C or SIGTERM, or, for a
// launcher, until its input ends.
#include <functional>

#include "site/command_line/options.h"
#include "site/http/server.h"

namespace kf::site {

// Answers the program's exit status. `prepare` sees the server before it starts.
int runSite(const SiteOptions &options, const std::function<void(Server &)> &prepare);

}  // namespace kf::site
