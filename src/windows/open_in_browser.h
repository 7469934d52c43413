#pragma once
#include <string>

namespace kf::windows {

// Starts the browser program named by its registered open command with `address` as its one
// argument, in a normal window or hidden; hidden, the program downloads the address. The busy pointer
// shows meanwhile. A program that is registered but cannot start is told in a message box; when
// there is no browser program, nothing happens.
void rOpenInBrowser(const std::string &address, bool visible);

}  // namespace kf::windows
