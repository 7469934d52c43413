#include "site/pages/player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "site/catalogue/text.h"

namespace kf::site {
namespace {

std::string fileAddress(const std::string &base, const Video &video, const std::string &token) {
  return base + "/get_video.php?video_id=" + video.id + "&amp;t=" + token;
}

std::string note(const std::string &base, const Video &video, const std::string &token, const std::string &why,
                 bool hidden) {
  return std::string("<div id=\"cannotPlay\"") + (hidden ? " hidden" : "") +
         "><p>Dieses Video kann das Videofenster nicht abspielen: " + escapeHtml(why) +
         "</p>\n<p>Datei: " + escapeHtml(video.fileName) + "</p>\n<p><a href=\"" + fileAddress(base, video, token) +
         "\" download>Video herunterladen</a></p></div>\n";
}

// The player's keys; the stream, when there is one, goes through the player library into the
// engine's media source. A stream that fails shows the note in the player's place.
constexpr const char *kPlayerScript = R"(<script>
(function () {
  var video = document.getElementById('player');
  var stream = video.getAttribute('data-stream');
  function failed() {
    video.pause();
    video.hidden = true;
    document.getElementById('cannotPlay').hidden = false;
  }
  if (stream) {
    if (window.Hls && Hls.isSupported()) {
      var waitLong = {maxTimeToFirstByteMs: 30000, maxLoadTimeMs: 60000,
        timeoutRetry: {maxNumRetry: 2, retryDelayMs: 0, maxRetryDelayMs: 0},
        errorRetry: {maxNumRetry: 2, retryDelayMs: 1000, maxRetryDelayMs: 4000}};
      // Without a worker of its own, the player library starts sooner; its work is small here.
      var hls = new Hls({enableWorker: false, maxBufferLength: 20, maxMaxBufferLength: 30,
        manifestLoadPolicy: {default: waitLong}, fragLoadPolicy: {default: waitLong}});
      hls.on(Hls.Events.ERROR, function (event, data) { if (data.fatal) { hls.destroy(); failed(); } });
      hls.loadSource(stream);
      hls.attachMedia(video);
    } else {
      failed();
    }
  } else {
    video.addEventListener('error', failed);
  }
  function seek(by) {
    var end = isFinite(video.duration) ? video.duration : Infinity;
    video.currentTime = Math.max(0, Math.min(end, video.currentTime + by));
  }
  function volume(by) {
    video.muted = false;
    video.volume = Math.max(0, Math.min(1, Math.round((video.volume + by) * 10) / 10));
  }
  function fullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (video.requestFullscreen) video.requestFullscreen();
  }
  document.addEventListener('keydown', function (e) {
    if (e.altKey || e.ctrlKey || e.metaKey || video.hidden) return;
    switch (e.key) {
      case ' ': case 'Spacebar': if (video.paused) video.play(); else video.pause(); break;
      case 'ArrowLeft': seek(-5); break;
      case 'ArrowRight': seek(5); break;
      case 'ArrowUp': volume(0.1); break;
      case 'ArrowDown': volume(-0.1); break;
      case 'm': case 'M': video.muted = !video.muted; break;
      case 'f': case 'F': fullScreen(); break;
      case 'Escape': if (document.fullscreenElement) { document.exitFullscreen(); break; } return;
      default: return;
    }
    e.preventDefault();
    e.stopPropagation();
  }, true);
  video.focus();
})();
</script>
)";

}  // namespace

std::string cannotPlayNote(const std::string &base, const Video &video, const std::string &token) {
  return note(base, video, token, video.cannotPlay, false);
}

std::string embedPage(const std::string &base, const Video &video, const std::string &token) {
  std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + video.title +
                     "</title>\n<style>html, body { margin: 0; height: 100%; background: #000; } "
                     "video { display: block; width: 100%; height: 100%; } video:focus { outline: none; } "
                     "#cannotPlay { color: #fff; font-family: sans-serif; padding: 20px; } "
                     "#cannotPlay a { color: #9cf; }</style>\n</head>\n<body>\n";
  if (video.playback == Playback::None) return page + cannotPlayNote(base, video, token) + "</body>\n</html>\n";
  if (video.playback == Playback::Stream) {
    page += "<video id=\"player\" controls autoplay tabindex=\"0\" data-stream=\"" + base + "/stream/" + video.id +
            "/index.m3u8" + "\"></video>\n";
    page += note(base, video, token, "Die Datei ließ sich nicht umwandeln.", true);
    page += "<script src=\"" + base + "/player/hls.js\"></script>\n";
  } else {
    page += "<video id=\"player\" controls autoplay tabindex=\"0\" src=\"" + fileAddress(base, video, token) +
            "\"></video>\n";
    page += note(base, video, token, "Die Datei ließ sich nicht laden.", true);
  }
  return page + kPlayerScript + "</body>\n</html>\n";
}

std::string streamPlaylist(const std::string &base, const Video &video, const std::vector<double> &seconds) {
  const double longest = seconds.empty() ? 1.0 : *std::ranges::max_element(seconds);
  std::string out = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-PLAYLIST-TYPE:VOD\n#EXT-X-TARGETDURATION:" +
                    std::to_string(static_cast<long>(std::ceil(longest))) + "\n#EXT-X-MEDIA-SEQUENCE:0\n";
  for (std::size_t i = 0; i < seconds.size(); ++i) {
    char length[32];
    std::snprintf(length, sizeof length, "%.6f", seconds[i]);
    out += std::string("#EXTINF:") + length + ",\n" + base + "/stream/" + video.id + "/" + std::to_string(i) + ".ts\n";
  }
  return out + "#EXT-X-ENDLIST\n";
}

}  // namespace kf::site
