#include "platform/http/http_client.h"

#include "platform/http/curl_request.h"
#include "platform/http/request_address.h"

namespace kf::http {

ConnectionPool::ConnectionPool() : shared_(std::make_shared<detail::SharedConnections>()) {}

Session::Session(std::string userAgent, ProxyUse proxy, Limits limits, WaitHook whileWaiting,
                 const ConnectionPool *pool)
    : state_(std::make_shared<detail::SessionState>(std::move(userAgent), proxy, limits, std::move(whileWaiting),
                                                    pool ? pool->shared_ : nullptr)) {}

Session::~Session() = default;

std::unique_ptr<Connection> Connection::open(Session &session, const std::string &hostAndPort) {
  if (!isHostAndPort(hostAndPort)) return nullptr;
  return std::unique_ptr<Connection>(new Connection(session.state_, hostAndPort));
}

Connection::Connection(std::shared_ptr<detail::SessionState> state, std::string hostAndPort)
    : state_(std::move(state)), hostAndPort_(std::move(hostAndPort)) {}

Connection::~Connection() = default;

HeadRequest::HeadRequest(Connection &connection, const std::string &path)
    : transfer_(std::make_unique<detail::CurlRequest>(connection.state_, "http://" + connection.hostAndPort_ + path,
                                                      detail::CurlRequest::Method::Head, UrlStream::Cache::Bypass)) {}

HeadRequest::~HeadRequest() = default;

bool HeadRequest::send() {
  transfer_->driveToEnd();
  sent_ = transfer_->succeeded();
  return sent_;
}

Failure HeadRequest::failure() const {
  return transfer_->failure();
}

std::string HeadRequest::statusCode() const {
  return sent_ ? std::to_string(transfer_->statusCode()) : std::string();
}

const std::string &HeadRequest::rawHeaders() const {
  static const std::string none;
  return sent_ ? transfer_->headerBlock() : none;
}

UrlStream::UrlStream(Session &session, const std::string &url, Cache cache)
    : transfer_(std::make_unique<detail::CurlRequest>(session.state_, url, detail::CurlRequest::Method::Get, cache)) {
  // The request goes out now: the stream is open once the server has begun to answer.
  detail::CurlRequest &transfer = *transfer_;
  transfer.driveUntil([&transfer] { return transfer.finalHeadersIn() || transfer.buffered() > 0; });
}

UrlStream::~UrlStream() = default;

std::size_t UrlStream::read(char *buffer, std::size_t count) {
  detail::CurlRequest &transfer = *transfer_;
  transfer.driveUntil([&transfer, count] { return transfer.buffered() >= count; });
  if (transfer.ended() && !transfer.succeeded()) {
    throw TransferFailed(transfer.failure(), "the body could not be read whole");
  }
  return transfer.take(buffer, count);
}

bool UrlStream::endsWithConnection() const {
  return !transfer_->framed();
}

Answer fetchAnswer(Session &session, const std::string &url) {
  detail::CurlRequest transfer(session.state_, url, detail::CurlRequest::Method::Get, UrlStream::Cache::Allowed);
  transfer.driveToEnd();
  if (!transfer.succeeded()) throw TransferFailed(transfer.failure(), "the answer could not be had whole");
  return {transfer.statusCode(), transfer.takeAll()};
}

}  // namespace kf::http
