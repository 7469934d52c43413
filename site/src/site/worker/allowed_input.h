#pragma once
// What FFmpeg may open for the site, in the worker and in the conversions alike: only files, and only
// the containers of the listed video extensions, so a file that poses as a playlist leads the reader
// neither to other files nor to the network.
namespace kf::site::worker {

inline constexpr const char *kAllowedProtocols = "file";
inline constexpr const char *kAllowedFormats = "mov,matroska,ogg,avi,mpeg,mpegts,mpegvideo,asf,flv,dv";

}  // namespace kf::site::worker
