#pragma once
// Files that are written whole or not at all, for files the program replaces on every run.
#include <string>
#include <string_view>

namespace kf::files {

// Writes the bytes to a temporary file beside `path` and puts it in `path`'s place once it is written
// whole. On a failure the temporary file is removed, `path` stays as it was, and kf::Error says why in
// German. Neither synced nor hurried to the disk: for files the program can fetch again (result
// pages), which a power cut may leave empty.
void replaceWithBytes(const std::string &path, std::string_view bytes);

}  // namespace kf::files
