#include "downloads/download.h"

#include "downloads/file_name.h"
#include "downloads/open_check.h"
#include "platform/base/cp1252.h"
#include "platform/http/request_address.h"

namespace kf::downloads {

Download::Download(std::string address, std::string folder, PostToWindow post)
    : address_(std::move(address)),
      folder_(std::move(folder)),
      post_(std::move(post)),
      name_(downloadName({}, address_)) {}

Download::~Download() {
  // The transfer goes first: until it has, its thread may still write into the part file.
  transfer_.reset();
}

std::string Download::name() const {
  std::lock_guard lock(nameMutex_);
  return name_;
}

void Download::start() {
  transfer_.reset();
  problem_.clear();
  speed_.reset();
  if (!http::requestUrl(address_)) {
    // Nothing is written for it, and no second try can mend it.
    state_ = DownloadState::Failed;
    problem_ = text::cp1252(u8"Die Adresse ist keine http-Adresse: ") + text::fromUtf8(address_);
    retryable_ = false;
    changed();
    return;
  }
  state_ = DownloadState::Running;
  bytes_ = part_ ? part_->size() : 0;
  http::FileRequest request{address_, bytes_, part_ ? validator_ : std::string()};
  transfer_ = std::make_unique<http::FileTransfer>(
      std::move(request), static_cast<http::FileSink &>(*this),
      [this](const http::FileProgress &progress) { progressed(progress); },
      [this](const http::FileOutcome &outcome) { ended(outcome); }, post_);
  changed();
}

void Download::cancel() {
  // A file made whole just before the cancel stays: its end is on its way.
  if (state_ != DownloadState::Running || !transfer_->cancel()) return;
  part_.reset();
  state_ = DownloadState::Cancelled;
  bytes_ = 0;
  changed();
}

void Download::begin(const http::FileAnswer &answer) {
  validator_ = answer.validator;
  contentType_ = answer.contentType;
  if (answer.startsAt > 0) return;  // the part file holds exactly the bytes before it
  firstBytes_.clear();
  if (part_) {
    part_->restart();
    return;
  }
  part_ = std::make_unique<files::PartFile>(folder_, downloadName(answer.disposition, address_));
  std::lock_guard lock(nameMutex_);
  name_ = part_->intendedName();
}

void Download::write(std::string_view bytes) {
  part_->append(bytes);
  if (firstBytes_.size() < kKindBytes) firstBytes_.append(bytes.substr(0, kKindBytes - firstBytes_.size()));
}

void Download::end() {
  path_ = part_->finish();
  std::lock_guard lock(nameMutex_);
  name_ = path_.substr(path_.rfind('/') + 1);
}

void Download::progressed(const http::FileProgress &progress) {
  bytes_ = progress.bytes;
  size_ = progress.size;
  speed_.add(progress.at, progress.bytes);
  changed();
}

void Download::ended(const http::FileOutcome &outcome) {
  bytes_ = outcome.progress.bytes;
  size_ = outcome.progress.size;
  if (outcome.complete) {
    state_ = DownloadState::Finished;
  } else {
    state_ = DownloadState::Failed;
    problem_ = outcome.problem;
    retryable_ = true;
    // Bytes that cannot be gone on from are of no use to the next try.
    if (!outcome.bytesUsable) part_.reset();
  }
  changed();
}

void Download::changed() {
  if (onChange) onChange();
}

}  // namespace kf::downloads
