#include "site/worker/media_probe.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string_view>

#include "site/worker/ffmpeg_input.h"
#include "site/worker/play_way.h"

namespace kf::site::worker {
namespace {

constexpr int kMaxPackets = 4000;

std::string tag(const AVFormatContext *ctx, const char *key) {
  const AVDictionaryEntry *entry = av_dict_get(ctx->metadata, key, nullptr, 0);
  return entry && entry->value ? entry->value : "";
}

// The first frame the decoder gives from where the input stands.
Frame firstFrame(AVFormatContext *ctx, int streamIndex, AVCodecContext *decoder) {
  Packet packet(av_packet_alloc());
  Frame frame(av_frame_alloc());
  if (!packet || !frame) return nullptr;
  for (int read = 0; read < kMaxPackets; ++read) {
    const int got = av_read_frame(ctx, packet.get());
    if (got < 0) {
      avcodec_send_packet(decoder, nullptr);  // the end: what the decoder holds comes out
      return avcodec_receive_frame(decoder, frame.get()) == 0 ? std::move(frame) : nullptr;
    }
    const bool ours = packet->stream_index == streamIndex;
    const int sent = ours ? avcodec_send_packet(decoder, packet.get()) : 0;
    av_packet_unref(packet.get());
    if (ours && sent < 0 && sent != AVERROR(EAGAIN)) continue;
    if (ours && avcodec_receive_frame(decoder, frame.get()) == 0) return frame;
  }
  return nullptr;
}

Codec openDecoder(const AVStream *stream, bool keysOnly) {
  const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
  if (!codec || static_cast<std::int64_t>(stream->codecpar->width) * stream->codecpar->height > kMostPixels)
    return nullptr;
  Codec decoder(avcodec_alloc_context3(codec));
  if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) return nullptr;
  // The stream's own frames may claim more than its header: the decoder refuses those.
  decoder->max_pixels = kMostPixels;
  decoder->thread_count = 1;  // two pictures are made at a time, one core each
  if (keysOnly) decoder->skip_frame = AVDISCARD_NONKEY;
  return avcodec_open2(decoder.get(), codec, nullptr) == 0 ? std::move(decoder) : nullptr;
}

std::optional<std::string> encodeJpeg(const AVFrame *source, int width) {
  if (source->width <= 0 || source->height <= 0) return std::nullopt;
  const AVRational aspect = source->sample_aspect_ratio.num > 0 ? source->sample_aspect_ratio : AVRational{1, 1};
  const double shown = static_cast<double>(source->width) * aspect.num / aspect.den;
  const int height = std::clamp(static_cast<int>(std::lround(width * source->height / shown)) & ~1, 2, 4 * width);

  Frame scaled(av_frame_alloc());
  if (!scaled) return std::nullopt;
  scaled->format = AV_PIX_FMT_YUVJ420P;
  scaled->width = width;
  scaled->height = height;
  if (av_frame_get_buffer(scaled.get(), 0) < 0) return std::nullopt;
  SwsContext *sws = sws_getContext(source->width, source->height, static_cast<AVPixelFormat>(source->format), width,
                                   height, AV_PIX_FMT_YUVJ420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!sws) return std::nullopt;
  sws_scale(sws, source->data, source->linesize, 0, source->height, scaled->data, scaled->linesize);
  sws_freeContext(sws);

  const AVCodec *jpeg = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
  Codec encoder(jpeg ? avcodec_alloc_context3(jpeg) : nullptr);
  if (!encoder) return std::nullopt;
  encoder->width = width;
  encoder->height = height;
  encoder->pix_fmt = AV_PIX_FMT_YUVJ420P;
  encoder->time_base = {1, 25};
  encoder->flags |= AV_CODEC_FLAG_QSCALE;
  encoder->global_quality = FF_QP2LAMBDA * 3;
  scaled->quality = encoder->global_quality;
  if (avcodec_open2(encoder.get(), jpeg, nullptr) < 0 || avcodec_send_frame(encoder.get(), scaled.get()) < 0) {
    return std::nullopt;
  }
  Packet packet(av_packet_alloc());
  if (!packet || avcodec_receive_packet(encoder.get(), packet.get()) < 0) return std::nullopt;
  return std::string(reinterpret_cast<const char *>(packet->data), static_cast<size_t>(packet->size));
}

}  // namespace

std::optional<Probe> probeFile(const std::string &path, std::chrono::milliseconds limit) {
  Clock::time_point deadline = Clock::now() + limit;
  Input input = openInput(path, &deadline);
  if (!input) return std::nullopt;
  PlayChoice choice = choosePlayWay(input.get(), path);
  return Probe{tag(input.get(), "title"),         tag(input.get(), "description"), tag(input.get(), "comment"),
               durationMilliseconds(input.get()), std::string(choice.way),         std::move(choice.reason)};
}

std::optional<std::string> previewPicture(const std::string &path, int width, std::chrono::milliseconds limit) {
  Clock::time_point deadline = Clock::now() + limit;
  Input input = openInput(path, &deadline);
  if (!input) return std::nullopt;
  const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) return std::nullopt;
  AVStream *stream = input->streams[index];
  // A key frame near a tenth of the play time: decoding on from it to the very frame would cost
  // many times as much for a picture 130 pixels wide. Streams that mark no key frames get a second
  // try from the start with every frame.
  const long long tenth = durationMilliseconds(input.get()) / 10;
  const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
  for (const bool keysOnly : {true, false}) {
    const int64_t target = keysOnly ? start + av_rescale_q(tenth, {1, 1000}, stream->time_base) : start;
    av_seek_frame(input.get(), index, target, AVSEEK_FLAG_BACKWARD);
    Codec decoder = openDecoder(stream, keysOnly);
    if (!decoder) return std::nullopt;
    if (Frame frame = firstFrame(input.get(), index, decoder.get())) return encodeJpeg(frame.get(), width);
    if (Clock::now() > deadline) break;
  }
  return std::nullopt;
}

}  // namespace kf::site::worker
