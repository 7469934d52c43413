#pragma once
#include <string>

#include "platform/shell/registry.h"

namespace kf::net {

// The text of one string value (empty value name: the key's default value), of any length: a value
// that does not fit the first buffer is read again into one of the size the registry asks for. A
// missing key or value gives the empty text.
std::string rRegGetString(shell::RegistryKey hKey, const std::string &strPath, const std::string &strValue);

}  // namespace kf::net
