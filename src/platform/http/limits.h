#pragma once
// The bounds of every transfer the program and its download helper make, one row per kind of
// transfer, so that a silent, slow or endless server cannot hang or exhaust either program. Hitting a
// limit fails the transfer like a broken connection.
#include <chrono>
#include <cstdint>

namespace kf::http {

struct Limits {
  std::chrono::milliseconds connectTimeout{std::chrono::seconds(15)};
  // The transfer is aborted when less than lowSpeedBytes per second arrive for lowSpeedTime.
  long lowSpeedBytes = 512;
  std::chrono::seconds lowSpeedTime{60};
  // The whole transfer, from connecting to the last byte; zero for no bound beyond the others.
  std::chrono::milliseconds totalTimeout{0};
  std::uint64_t maxBodyBytes = std::uint64_t{64} * 1024 * 1024;
  long maxRedirects = 5;
};

enum class TransferKind {
  Page,     // result pages and watch pages: text the program reads whole
  Picture,  // preview pictures: small, and the user waits for them
  File,     // video files the download helper saves: large, slow links must still finish
};

const Limits &limitsFor(TransferKind kind);

}  // namespace kf::http
