#include "platform/http/limits.h"

namespace kf::http {

namespace {
using std::chrono::seconds;
constexpr std::uint64_t kMiB = 1024 * 1024;

// Connection and stall bounds are the same for every kind: a site that does not answer within 15 s
// or sends less than 512 bytes a second for a minute is gone for all of them alike. The sizes differ:
// a result page of the site is a few hundred kilobytes, a preview picture a few dozen, a clip can be
// gigabytes. A preview holds up the list it is shown beside, so it gets a minute in all.
const Limits kPage{seconds(15), 512, seconds(60), seconds(0), 64 * kMiB, 5};
const Limits kPicture{seconds(15), 512, seconds(60), seconds(60), 8 * kMiB, 5};
const Limits kFile{seconds(15), 512, seconds(60), seconds(0), 4096 * kMiB, 5};
}  // namespace

const Limits &limitsFor(TransferKind kind) {
  switch (kind) {
    case TransferKind::Picture:
      return kPicture;
    case TransferKind::File:
      return kFile;
    case TransferKind::Page:
      break;
  }
  return kPage;
}

}  // namespace kf::http
