#pragma once
// One bundled site per test suite, on a free port, and the catalogue it serves.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "site/faults/faulty_server.h"
#include "support/http_probe.h"

namespace kf::site::test {

class SiteTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<FaultyServer>();
    port_ = server_->start();
  }
  static void TearDownTestSuite() { server_.reset(); }
  void TearDown() override { server_->clearFaults(); }

  static std::string fullHost() { return "www.localhost:" + std::to_string(port_); }
  static std::string bareHost() { return "localhost:" + std::to_string(port_); }
  static Answer get(const std::string &target, const std::string &host = fullHost()) {
    return fetch(port_, "GET", target, host);
  }
  static const Catalogue &catalogue() { return server_->site().catalogue(); }

  static std::string pageOne(const std::string &words) { return "/results?search_query=" + words + "&search=Search"; }
  static std::string pageN(const std::string &words, int number) {
    return "/results?search_type=search_videos&search_query=" + words +
           "&search_sort=&search_category=0&page=" + std::to_string(number);
  }

  static inline std::unique_ptr<FaultyServer> server_;
  static inline int port_ = 0;
};

}  // namespace kf::site::test
