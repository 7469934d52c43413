#pragma once
// Starting another program the way the desktop shell does: one program, one argument, a show mode, and
// no further interest in it. The started program runs on its own: it is not our child for long enough
// to need reaping, holds none of our files and sockets, and belongs to a session of its own.
#include <functional>
#include <optional>
#include <string>

namespace kf::shell {

// Show modes. klipfang-fetch reads the number from kShowModeVariable: 0 is hidden (it downloads the
// address), any other number shown (it hands the page to the desktop's browser).
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;

// A started program learns its show mode from this environment variable, its number in decimal.
inline constexpr const char *kShowModeVariable = "KLIPFANG_SHOW_WINDOW";

// Tells the user why a program did not start (Windows-1252): the caller's message box.
using TellUser = std::function<void(const std::string &why)>;

// Runs `file` (a path; no search, no shell) with `parameters` as its one and only argument, unsplit
// and unquoted, so nothing in it is ever read as a command. Returns once the program has been started
// or has failed to start, and answers whether it started. Its standard input is empty; standard
// output and error are ours. A program that cannot start (none named, missing, not executable ...)
// is not the caller's to explain: as the desktop's shell does, this tells the user through `tell`,
// naming the program and the reason.
bool shellExecute(const std::string &file, const std::string &parameters, int showMode, const TellUser &tell);

// The same start for a caller that tells the user itself: nothing once the program runs, else the
// sentences shellExecute would show (Windows-1252).
std::optional<std::string> startProgram(const std::string &file, const std::string &parameters, int showMode);

}  // namespace kf::shell
