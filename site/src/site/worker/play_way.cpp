#include "site/worker/play_way.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>

namespace kf::site::worker {
namespace {

template <std::size_t N>
bool oneOf(AVCodecID codec, const std::array<AVCodecID, N> &codecs) {
  return std::ranges::find(codecs, codec) != codecs.end();
}

bool engineContainer(const AVFormatContext *input, const std::string &path) {
  const std::string_view format = input->iformat->name;
  if (format.find("matroska") != std::string_view::npos) return true;
  std::string extension = std::filesystem::path(path).extension().string();
  for (char &c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return format.find("mp4") != std::string_view::npos && (extension == ".mp4" || extension == ".m4v");
}

// A turned picture (a phone held upright) loses its turn in a new container: it is converted instead.
bool turned(const AVStream *stream) {
  const auto *matrix =
      reinterpret_cast<const int32_t *>(av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
  return matrix && std::lround(av_display_rotation_get(matrix)) % 360 != 0;
}

// H.264 as the engine decodes it: 8 bits, 4:2:0.
bool plainH264(const AVCodecParameters *picture) {
  const auto format = static_cast<AVPixelFormat>(picture->format);
  return picture->codec_id == AV_CODEC_ID_H264 && (format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P);
}

}  // namespace

PlayChoice choosePlayWay(const AVFormatContext *input, const std::string &path) {
  auto *ctx = const_cast<AVFormatContext *>(input);
  const int video = av_find_best_stream(ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (video < 0) return {play_way::kCannot, "Die Datei enthält kein Bild."};
  const AVStream *stream = input->streams[video];
  const AVCodecParameters *picture = stream->codecpar;
  if (!avcodec_find_decoder(picture->codec_id)) {
    return {play_way::kCannot,
            std::string("FFmpeg kann ihr Bildformat (") + avcodec_get_name(picture->codec_id) + ") nicht decodieren."};
  }
  const int audio = av_find_best_stream(ctx, AVMEDIA_TYPE_AUDIO, -1, video, nullptr, 0);
  const AVCodecID sound = audio >= 0 ? input->streams[audio]->codecpar->codec_id : AV_CODEC_ID_NONE;

  constexpr std::array kEnginePictures = {AV_CODEC_ID_VP8, AV_CODEC_ID_VP9, AV_CODEC_ID_AV1};
  constexpr std::array kEngineSounds = {AV_CODEC_ID_NONE, AV_CODEC_ID_AAC,    AV_CODEC_ID_MP3,
                                        AV_CODEC_ID_OPUS, AV_CODEC_ID_VORBIS, AV_CODEC_ID_FLAC};
  const bool enginePicture = plainH264(picture) || oneOf(picture->codec_id, kEnginePictures);
  if (engineContainer(input, path) && enginePicture && oneOf(sound, kEngineSounds)) return {play_way::kAsItIs, {}};
  // The stream's container takes H.264 as it is; every other picture is converted to it.
  if (!plainH264(picture) || turned(stream)) return {play_way::kPicture, {}};
  if (sound == AV_CODEC_ID_NONE || sound == AV_CODEC_ID_AAC) return {play_way::kContainer, {}};
  return {play_way::kSound, {}};
}

}  // namespace kf::site::worker
