#include "fault_reply.h"

#include <chrono>
#include <optional>
#include <string>

#include "pages.h"

namespace kf::site {
namespace {

using namespace std::chrono_literals;

constexpr size_t kSlowPiece = 256;
constexpr auto kSlowPause = 20ms;
constexpr auto kTricklePause = 1s;
constexpr int kHugeHeaderLines = 40;  // about 4,000 characters of header

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

std::string headBlock(const Reply &reply, std::optional<size_t> length, const std::string &extra = {}) {
  std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) + "\r\n";
  out += "Content-Type: " + reply.contentType + "\r\n";
  for (const auto &[name, value] : reply.headers) out += name + ": " + value + "\r\n";
  if (length) out += "Content-Length: " + std::to_string(*length) + "\r\n";
  out += extra;
  out += "Connection: close\r\n\r\n";
  return out;
}

void sendWhole(Connection &connection, const Reply &reply, bool head, const std::string &extra = {}) {
  if (connection.send(headBlock(reply, reply.body.size(), extra)) && !head) connection.send(reply.body);
}

void sendSlowly(Connection &connection, const Reply &reply, bool head, size_t piece, std::chrono::milliseconds pause) {
  if (!connection.send(headBlock(reply, reply.body.size())) || head) return;
  for (size_t at = 0; at < reply.body.size(); at += piece) {
    if (!connection.pause(pause) || !connection.send(std::string_view(reply.body).substr(at, piece))) return;
  }
}

void sendCutOff(Connection &connection, const Reply &reply, bool head) {
  const std::string block = headBlock(reply, reply.body.size());
  if (head) {
    connection.send(std::string_view(block).substr(0, block.size() / 2));
  } else if (connection.send(block)) {
    connection.send(std::string_view(reply.body).substr(0, reply.body.size() / 2));
  }
}

void sendEndless(Connection &connection, bool head) {
  Reply reply{200, "text/html; charset=utf-8", {}, {}};
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
      if (connection.send(headBlock(real, std::nullopt)) && !head) connection.send(real.body);
      return;
    case Fault::HugeHeader:
      return sendWhole(connection, real, head, hugeHeader());
    case Fault::ServerError:
      return sendWhole(connection, {500, "text/html; charset=utf-8", errorPage(500, "Interner Fehler."), {}}, head);
    case Fault::Endless:
      return sendEndless(connection, head);
    case Fault::NotAPicture:
      return sendWhole(connection, {200, "text/html; charset=utf-8", errorPage(404, "Bild nicht gefunden."), {}}, head);
  }
}

}  // namespace kf::site
