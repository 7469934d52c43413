#include "site/worker/ffmpeg_input.h"

#include <algorithm>
#include <vector>

#include "site/worker/allowed_input.h"

namespace kf::site::worker {
namespace {

int pastDeadline(void *opaque) {
  return Clock::now() > *static_cast<Clock::time_point *>(opaque) ? 1 : 0;
}

}  // namespace

Input openInput(const std::string &path, Clock::time_point *deadline) {
  AVFormatContext *ctx = avformat_alloc_context();
  if (!ctx) return nullptr;
  ctx->interrupt_callback = {pastDeadline, deadline};
  AVDictionary *options = nullptr;
  av_dict_set(&options, "protocol_whitelist", kAllowedProtocols, 0);
  av_dict_set(&options, "format_whitelist", kAllowedFormats, 0);
  const int opened = avformat_open_input(&ctx, ("file:" + path).c_str(), nullptr, &options);
  av_dict_free(&options);
  if (opened < 0) return nullptr;  // the context is freed then
  Input input(ctx);
  // Reading the streams' details decodes a frame of some: the same bound holds there.
  std::vector<AVDictionary *> streamOptions(ctx->nb_streams, nullptr);
  for (AVDictionary *&each : streamOptions) av_dict_set_int(&each, "max_pixels", kMostPixels, 0);
  const int found = avformat_find_stream_info(ctx, streamOptions.data());
  for (AVDictionary *&each : streamOptions) av_dict_free(&each);
  if (found < 0) return nullptr;
  return input;
}

long long durationMilliseconds(const AVFormatContext *ctx) {
  if (ctx->duration > 0) return ctx->duration / 1000;
  long long longest = 0;
  for (unsigned i = 0; i < ctx->nb_streams; ++i) {
    const AVStream *stream = ctx->streams[i];
    if (stream->duration > 0) {
      longest = std::max<long long>(longest, av_rescale_q(stream->duration, stream->time_base, {1, 1000}));
    }
  }
  return longest;
}

}  // namespace kf::site::worker
