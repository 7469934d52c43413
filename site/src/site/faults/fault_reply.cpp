#include "site/faults/fault_reply.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "site/pages/pages.h"

namespace kf::site {
namespace {

using namespace std::chrono_literals;

constexpr size_t kSlowPiece = 256;
constexpr auto kSlowPause = 20ms;
constexpr auto kTricklePause = 1s;
constexpr int kHugeHeaderLines = 40;  // about 4,000 characters of header
constexpr std::uint64_t kBodyPiece = 64 * 1024;

const char *reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Unknown";
  }
}

std::string headBlock(const Reply &reply, std::optional<std::uint64_t> length, const std::string &extra = {}) {
  std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) + "\r\n";
  out += "Content-Type: " + reply.contentType + "\r\n";
  for (const auto &[name, value] : reply.headers) out += name + ": " + value + "\r\n";
  if (length) out += "Content-Length: " + std::to_string(*length) + "\r\n";
  out += extra;
  out += "Connection: close\r\n\r\n";
  return out;
}

// The first `length` bytes of the body, in pieces, so that a file never has to be held whole.
bool sendBody(Connection &connection, const Reply &reply, std::uint64_t length) {
  for (std::uint64_t at = 0; at < length; at += kBodyPiece) {
    const std::string piece =
        reply.bodyPiece(at, static_cast<size_t>(std::min<std::uint64_t>(kBodyPiece, length - at)));
    if (piece.empty() || !connection.send(piece)) return false;
  }
  return true;
}

void sendWhole(Connection &connection, const Reply &reply, bool head, const std::string &extra = {}) {
  if (connection.send(headBlock(reply, reply.bodySize(), extra)) && !head)
    sendBody(connection, reply, reply.bodySize());
}

void sendSlowly(Connection &connection, const Reply &reply, bool head, size_t piece, std::chrono::milliseconds pause) {
  if (!connection.send(headBlock(reply, reply.bodySize())) || head) return;
  for (std::uint64_t at = 0; at < reply.bodySize(); at += piece) {
    if (!connection.pause(pause) || !connection.send(reply.bodyPiece(at, piece))) return;
  }
}

void sendCutOff(Connection &connection, const Reply &reply, bool head) {
  const std::string block = headBlock(reply, reply.bodySize());
  if (head) {
    connection.send(std::string_view(block).substr(0, block.size() / 2));
  } else if (connection.send(block)) {
    sendBody(connection, reply, reply.bodySize() / 2);
  }
}

void sendEndless(Connection &connection, bool head) {
  Reply reply{200, "text/html; charset=utf-8", {}, {}, nullptr};
  if (!connection.send(headBlock(reply, std::nullopt)) || head) return;
  std::string filler = "<html>\n";
  while (filler.size() < 16 * 1024) filler += "<p>Und weiter und weiter und weiter ...</p>\n";
  while (connection.send(filler)) {
  }
}

std::string hugeHeader() {
  std::string extra;
  for (int i = 0; i < kHugeHeaderLines; ++i) {
    extra += "X-Klipfang-Note-" + std::to_string(i) + ": " + std::string(80, 'x') + "\r\n";
  }
  return extra;
}

}  // namespace

void sendFaulty(Connection &connection, Fault fault, const Reply &real, bool head) {
  switch (fault) {
    case Fault::Refuse:
      return;
    case Fault::Slow:
      return sendSlowly(connection, real, head, kSlowPiece, kSlowPause);
    case Fault::Trickle:
      return sendSlowly(connection, real, head, 1, kTricklePause);
    case Fault::CutOff:
    case Fault::CutOffEveryOther:
      return sendCutOff(connection, real, head);
    case Fault::NoLength:
      if (connection.send(headBlock(real, std::nullopt)) && !head) sendBody(connection, real, real.bodySize());
      return;
    case Fault::HugeHeader:
      return sendWhole(connection, real, head, hugeHeader());
    case Fault::ServerError:
      return sendWhole(connection, {500, "text/html; charset=utf-8", errorPage(500, "Interner Fehler."), {}, nullptr},
                       head);
    case Fault::Endless:
      return sendEndless(connection, head);
    case Fault::NotAPicture:
      return sendWhole(connection,
                       {200, "text/html; charset=utf-8", errorPage(404, "Bild nicht gefunden."), {}, nullptr}, head);
  }
}

}  // namespace kf::site
