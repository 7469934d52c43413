#pragma once
#include <string>

#include "platform/shell/registry.h"

namespace kf::net {

// The text of one string value (empty value name: the key's default value), read through a buffer of
// 256 bytes. A missing key or value gives the empty text. So does a value of 256 characters or more:
// it does not fit the buffer, and a cut-off command would name the wrong program.
std::string rRegGetString(shell::RegistryKey hKey, const std::string &strPath, const std::string &strValue);

}  // namespace kf::net
