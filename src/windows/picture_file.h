#pragma once
// Where a preview picture is kept on disk. Pictures go to a folder of their own under the data
// folder and are named after the last segment of their address, which comes from the network: the
// name is checked so that no address can reach a file of the program's own.
#include <string>

namespace kf::windows {

// The characters after the last "/" or "\"; the whole text when it holds neither.
std::string FileNameFromAddress(const std::string &address);

// AppDir/dat/pics.
std::string pictureFolder(const std::string &appDir);

// The picture file for `address` in pictureFolder(appDir). Raises kf::Error when the address gives
// no usable name: empty, "." or "..", or holding a control character.
std::string picturePath(const std::string &appDir, const std::string &address);

// Creates pictureFolder(appDir), and the data folder above it, where missing.
void ensurePictureFolder(const std::string &appDir);

}  // namespace kf::windows
