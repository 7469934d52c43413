#include "site/worker/media_probe.h"

extern "C" {
#include <libavutil/display.h>
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

// Clockwise quarter turns that show the stored picture as it is meant to be seen: a phone records
// a portrait clip as a landscape picture and a note to turn it.
int quarterTurns(const AVStream *stream) {
  const auto *matrix =
      reinterpret_cast<const std::int32_t *>(av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
  const double counterclockwise = matrix ? av_display_rotation_get(matrix) : 0.0;
  if (std::isnan(counterclockwise)) return 0;
  return static_cast<int>(((-std::lround(counterclockwise / 90.0)) % 4 + 4) % 4);
}

// `to` is `from` turned clockwise by `turns` quarters; both YUVJ420P, of even sides.
void turn(const AVFrame *from, AVFrame *to, int turns) {
  for (int plane = 0; plane < 3; ++plane) {
    const int shift = plane == 0 ? 0 : 1;
    const int w = from->width >> shift;
    const int h = from->height >> shift;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const int tx = turns == 1 ? h - 1 - y : turns == 2 ? w - 1 - x : y;
        const int ty = turns == 1 ? x : turns == 2 ? h - 1 - y : w - 1 - x;
        to->data[plane][ty * to->linesize[plane] + tx] = from->data[plane][y * from->linesize[plane] + x];
      }
    }
  }
}

Frame pictureFrame(int width, int height) {
  Frame frame(av_frame_alloc());
  if (!frame) return nullptr;
  frame->format = AV_PIX_FMT_YUVJ420P;
  frame->width = width;
  frame->height = height;
  return av_frame_get_buffer(frame.get(), 0) < 0 ? nullptr : std::move(frame);
}

std::optional<std::string> encodeJpeg(const AVFrame *source, int width, int turns) {
  if (source->width <= 0 || source->height <= 0) return std::nullopt;
  const AVRational aspect = source->sample_aspect_ratio.num > 0 ? source->sample_aspect_ratio : AVRational{1, 1};
  const double shown = static_cast<double>(source->width) * aspect.num / aspect.den;
  const bool sideways = turns % 2 == 1;
  const double upright = sideways ? source->height / shown : shown / source->height;  // width by height
  const int height = std::clamp(static_cast<int>(std::lround(width / upright)) & ~1, 2, 4 * width);

  // Scaled as stored, then turned upright.
  Frame scaled = sideways ? pictureFrame(height, width) : pictureFrame(width, height);
  if (!scaled) return std::nullopt;
  SwsContext *sws =
      sws_getContext(source->width, source->height, static_cast<AVPixelFormat>(source->format), scaled->width,
                     scaled->height, AV_PIX_FMT_YUVJ420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!sws) return std::nullopt;
  sws_scale(sws, source->data, source->linesize, 0, source->height, scaled->data, scaled->linesize);
  sws_freeContext(sws);
  if (turns != 0) {
    Frame turned = pictureFrame(width, height);
    if (!turned) return std::nullopt;
    turn(scaled.get(), turned.get(), turns);
    scaled = std::move(turned);
  }

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
  // A key frame near a tenth of the play time: decoding on from it to the very frame would cost
  // many times as much for a picture 130 pixels wide. Streams that mark no key frames, and those
  // whose first frames come after the time a seek to their start aims at (TS, MTS: a seek lands
  // past the one key frame of a short clip), get a second try with every frame from the file's
  // very beginning, as it stands when opened.
  for (const bool keysOnly : {true, false}) {
    Input input = openInput(path, &deadline);
    if (!input) return std::nullopt;
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) return std::nullopt;
    AVStream *stream = input->streams[index];
    if (keysOnly) {
      const long long tenth = durationMilliseconds(input.get()) / 10;
      const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
      av_seek_frame(input.get(), index, start + av_rescale_q(tenth, {1, 1000}, stream->time_base),
                    AVSEEK_FLAG_BACKWARD);
    }
    Codec decoder = openDecoder(stream, keysOnly);
    if (!decoder) return std::nullopt;
    if (Frame frame = firstFrame(input.get(), index, decoder.get()))
      return encodeJpeg(frame.get(), width, quarterTurns(stream));
    if (Clock::now() > deadline) break;
  }
  return std::nullopt;
}

}  // namespace kf::site::worker
