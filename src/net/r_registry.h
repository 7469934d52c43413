#pragma once
#include <string>

#include "platform/os/shell/registry.h"

namespace kf::net {

// The text of the string value `valueName` of the key `keyPath` under `root` (an empty value name:
// the key's default value), of any length: a value that does not fit the first buffer is read again
// into one of the size the registry asks for. A missing key or value gives the empty text.
std::string rRegGetString(shell::RegistryKey root, const std::string &keyPath, const std::string &valueName);

}  // namespace kf::net
