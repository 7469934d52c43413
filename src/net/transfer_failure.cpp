#include "net/transfer_failure.h"

#include "platform/base/cp1252.h"

namespace kf::net {

std::string failureText(http::Failure failure) {
  switch (failure) {
    case http::Failure::Unreachable:
      return text::cp1252(u8"Der Server ist nicht erreichbar.");
    case http::Failure::TimedOut:
      return text::cp1252(u8"Der Server antwortet nicht rechtzeitig.");
    case http::Failure::TooLarge:
      return text::cp1252(u8"Die Antwort des Servers ist zu groß.");
    case http::Failure::CutOff:
      break;
  }
  return text::cp1252(u8"Die Antwort des Servers war unvollständig oder fehlerhaft.");
}

}  // namespace kf::net
