#include "site/worker/key_frames.h"

#include <algorithm>
#include <string_view>

#include "site/worker/ffmpeg_input.h"

namespace kf::site::worker {
namespace {

// An index that stops this long before the end does not cover the file.
constexpr long long kIndexReach = 20'000'000;

long long fromStart(const AVFormatContext *input, const AVStream *stream, int64_t timestamp) {
  const long long start = input->start_time == AV_NOPTS_VALUE ? 0 : input->start_time;
  return av_rescale_q(timestamp, stream->time_base, AVRational{1, AV_TIME_BASE}) - start;
}

std::vector<long long> fromIndex(AVFormatContext *input, int video) {
  AVStream *stream = input->streams[video];
  // Matroska reads its index on the first seek.
  av_seek_frame(input, video, stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time, AVSEEK_FLAG_BACKWARD);
  std::vector<long long> keys;
  const int count = avformat_index_get_entries_count(stream);
  for (int i = 0; i < count; ++i) {
    const AVIndexEntry *entry = avformat_index_get_entry(stream, i);
    if (entry && (entry->flags & AVINDEX_KEYFRAME)) keys.push_back(fromStart(input, stream, entry->timestamp));
  }
  return keys;
}

// Every packet of the picture, the others left unread where the container allows.
std::optional<std::vector<long long>> fromPackets(const std::string &path, Clock::time_point *deadline) {
  Input input = openInput(path, deadline);
  if (!input) return std::nullopt;
  const int video = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (video < 0) return std::nullopt;
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    if (static_cast<int>(i) != video) input->streams[i]->discard = AVDISCARD_ALL;
  }
  Packet packet(av_packet_alloc());
  if (!packet) return std::nullopt;
  std::vector<long long> keys;
  while (av_read_frame(input.get(), packet.get()) >= 0) {
    const int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    if (packet->stream_index == video && (packet->flags & AV_PKT_FLAG_KEY) && time != AV_NOPTS_VALUE) {
      keys.push_back(fromStart(input.get(), input->streams[video], time));
    }
    av_packet_unref(packet.get());
  }
  if (Clock::now() > *deadline) return std::nullopt;
  return keys;
}

}  // namespace

std::optional<KeyFrames> readKeyFrames(const std::string &path, bool withKeys, std::chrono::milliseconds limit) {
  Clock::time_point deadline = Clock::now() + limit;
  Input input = openInput(path, &deadline);
  if (!input) return std::nullopt;
  KeyFrames found;
  found.durationMicroseconds = input->duration > 0 ? input->duration : durationMilliseconds(input.get()) * 1000;
  if (!withKeys) return found;
  const int video = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (video < 0) return std::nullopt;
  // Other containers have no index of their own: what FFmpeg keeps for them holds only what it
  // happened to read.
  const std::string_view format = input->iformat->name;
  if (format.starts_with("mov") || format.starts_with("matroska") || format == "avi") {
    found.microseconds = fromIndex(input.get(), video);
  }
  if (found.microseconds.empty() || found.microseconds.back() < found.durationMicroseconds - kIndexReach) {
    input.reset();
    auto read = fromPackets(path, &deadline);
    if (!read) return std::nullopt;
    found.microseconds = std::move(*read);
  }
  std::sort(found.microseconds.begin(), found.microseconds.end());
  found.microseconds.erase(std::unique(found.microseconds.begin(), found.microseconds.end()), found.microseconds.end());
  return found;
}

}  // namespace kf::site::worker
