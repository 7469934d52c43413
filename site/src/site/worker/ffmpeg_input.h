#pragma once
// A video file opened with FFmpeg's libraries inside the worker, held by owners that free FFmpeg's
// objects with their own functions, and read only until a deadline.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace kf::site::worker {

using Clock = std::chrono::steady_clock;

// 8K: a frame beyond it is not decoded. A 16000 x 16000 picture alone takes 384 MB.
inline constexpr std::int64_t kMostPixels = 7680LL * 4320;

template <typename T, void (*Free)(T **)>
struct Freer {
  void operator()(T *object) const { Free(&object); }
};
using Input = std::unique_ptr<AVFormatContext, Freer<AVFormatContext, avformat_close_input>>;
using Codec = std::unique_ptr<AVCodecContext, Freer<AVCodecContext, avcodec_free_context>>;
using Frame = std::unique_ptr<AVFrame, Freer<AVFrame, av_frame_free>>;
using Packet = std::unique_ptr<AVPacket, Freer<AVPacket, av_packet_free>>;

// The file with its streams found; empty when it cannot be read as one of the allowed containers.
// Every read after `*deadline` fails, so `deadline` must outlive the input.
Input openInput(const std::string &path, Clock::time_point *deadline);

long long durationMilliseconds(const AVFormatContext *ctx);

}  // namespace kf::site::worker
