#pragma once
// The keys of Klipfang's windows, as the about window lists them for the user. The main window binds
// its own in FrmMain::bindKeys (main_keys.cpp); each other window binds its Esc where it is made.
#include <span>
#include <string_view>

namespace kf::windows {

struct KeyHelp {
  std::u8string_view keys;
  std::u8string_view does;
};

std::span<const KeyHelp> keyHelp();

}  // namespace kf::windows
