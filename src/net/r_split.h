#pragma once
#include <cstdint>
#include <string>

namespace kf::net {

// The piece of SourceString after the StringLoop-th occurrence of StringBefore and before the next
// StringAfter; occurrences of StringBefore do not overlap. Empty when there is no such piece or it
// would be empty. When CaseSensitive is false all three texts are lowered first, so the piece comes
// back in lower case.
std::string rGetString(const std::string &SourceString, const std::string &StringBefore, const std::string &StringAfter,
                       std::int16_t StringLoop, bool CaseSensitive);

}  // namespace kf::net
