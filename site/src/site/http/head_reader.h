#pragma once
// Waits for the request heads of every open connection in one thread, so that a client that sends
// its head slowly, or keeps its connection open between requests, holds no worker: a connection
// reaches a worker once its next head is whole. Every wait has a deadline, and one address can
// hold only so many waiting connections.
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "site/http/connection.h"

namespace kf::site {

struct ConnectionLimits {
  std::chrono::milliseconds headTime{10'000};  // for a whole request head, from its first byte on
  std::chrono::milliseconds idleTime{5'000};   // for the first byte of a head
  std::size_t perAddress = 64;                 // connections of one address waiting for a head
  std::size_t waiting = 1024;                  // waiting connections in all
};

class HeadReader {
 public:
  using Ready = std::function<void(std::shared_ptr<Connection>, RequestHead)>;

  // `ready` takes each connection whose head has come, in the reader's thread.
  HeadReader(ConnectionLimits limits, Ready ready);
  // Closes every waiting connection, and every one added later.
  void stop();
  ~HeadReader();
  HeadReader(const HeadReader &) = delete;
  HeadReader &operator=(const HeadReader &) = delete;

  // Waits for the connection's next head; closes it at once when its address already holds its
  // share of the waiting connections.
  void add(std::shared_ptr<Connection> connection);

 private:
  using Clock = std::chrono::steady_clock;
  struct Waiting {
    std::shared_ptr<Connection> connection;
    std::string address;
    Clock::time_point deadline;
    bool idle = false;  // kept open after an answer, and no byte of the next head has come
  };

  void run();
  void wake() const;
  // Whether the waiting connection's turn is over: handed on (its head came), or to be closed.
  bool settle(Waiting &waiting, Clock::time_point now);
  void forget(const Waiting &waiting);

  const ConnectionLimits limits_;
  const Ready ready_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::mutex mutex_;
  std::vector<Waiting> added_;
  std::map<std::string, std::size_t> perAddress_;
  std::size_t count_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace kf::site
