#pragma once
// The kinds of video file a library lists, told by the name's extension in any letter case: what
// phones, camcorders, DVD copies and older cameras write, and the content type each is served as.
#include <string_view>

namespace kf::site::library {

// .webm .mkv .mp4 .m4v .mov .ogv .avi .mpg .mpeg .ts .mts .m2ts .vob .wmv .asf .3gp .flv .dv
bool isVideoName(std::string_view name);

// The content type of a file by its name; "application/octet-stream" for any other name.
const char *contentTypeOf(std::string_view name);

}  // namespace kf::site::library
