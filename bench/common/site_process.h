#pragma once
// What the benches of the site share: klipfang-site in a process of its own, its memory, and the
// figure lines that scripts/run-bench gathers.
#include <sys/types.h>

#include <string>
#include <vector>

namespace kf::bench {

struct Process {
  pid_t pid = -1;
  int output = -1;  // its standard output
};

Process spawnSite(const std::string &program, const std::vector<std::string> &arguments);
// Reads the site's lines until one holds `text`; answers all it read. Ends the bench when the site ends.
std::string waitForLine(const Process &process, const std::string &text);
void stop(const Process &process);
// The most memory the process held so far, in MB.
double peakMB(pid_t pid);

// One figure, for the eye and as a FIGURE line.
void figure(const char *name, double value, const char *unit, const std::string &reference, const char *target);
// printf's formatting into a string; the compiler checks each call's format against its values.
[[gnu::format(printf, 1, 2)]] std::string text(const char *format, ...);

}  // namespace kf::bench
