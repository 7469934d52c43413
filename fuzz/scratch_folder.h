#pragma once
// A folder of this process's own under the system's temporary folder, for targets whose code under
// test reads files from a folder. Made on first use, removed with everything in it when the process
// ends normally (a crashing run leaves it behind for a look).
#include <string>

namespace kf::fuzz {

const std::string &scratchFolder();

// Replaces the file `name` in the scratch folder with exactly these bytes; answers its path.
std::string writeScratchFile(const std::string &name, const unsigned char *data, std::size_t size);

}  // namespace kf::fuzz
