#include "site/library/video_id.h"

#include <cstdint>

namespace kf::site::library {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

// FNV-1a over the bytes, then a finalizer that spreads every bit over the whole word.
std::uint64_t hash(std::string_view bytes, std::uint64_t seed) {
  std::uint64_t h = 0xcbf29ce484222325ULL ^ seed;
  for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

std::string videoId(std::string_view relativePath, int attempt) {
  const std::uint64_t seed = static_cast<std::uint64_t>(attempt) * 0x9e3779b97f4a7c15ULL;
  std::uint64_t bits = hash(relativePath, seed);
  const std::uint64_t more = hash(relativePath, ~seed);
  std::string id;
  for (int i = 0; i < 11; ++i) {
    // 64 bits give ten characters and four bits; the eleventh takes two more from the second word.
    const unsigned sixBits = i < 10 ? static_cast<unsigned>(bits >> (6 * i)) & 63
                                    : static_cast<unsigned>((bits >> 60) | ((more & 3) << 4)) & 63;
    id += kAlphabet[sixBits];
  }
  return id;
}

}  // namespace kf::site::library
