#include "platform/http/curl_options.h"

#include <mutex>
#include <new>

namespace kf::http::detail {

namespace {

// libcurl's global set-up is not thread-safe: the first transfer of any thread runs it, once.
void initialiseCurl() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

CURL *newEasy(const Limits &limits, const std::string &userAgent) {
  initialiseCurl();
  CURL *easy = curl_easy_init();
  if (!easy) throw std::bad_alloc();
  // Time-outs must not raise signals in a program with threads.
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.c_str());
  // The site speaks plain HTTP; a redirect elsewhere (a file:// address, another protocol) is refused.
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, limits.maxRedirects);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytes);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.lowSpeedTime.count()));
  curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
  return easy;
}

CURLM *newMulti() {
  initialiseCurl();
  CURLM *multi = curl_multi_init();
  if (!multi) throw std::bad_alloc();
  return multi;
}

CURLSH *newShare() {
  initialiseCurl();
  CURLSH *share = curl_share_init();
  if (!share) throw std::bad_alloc();
  return share;
}

}  // namespace kf::http::detail
