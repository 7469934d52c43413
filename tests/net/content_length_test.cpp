#include "net/content_length.h"

#include <gtest/gtest.h>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"

namespace kf::net {
namespace {

using namespace std::string_literals;

struct Announced {
  std::string headers;
  std::optional<std::int32_t> size;
};

class ContentLengthTest : public testing::TestWithParam<Announced> {};

TEST_P(ContentLengthTest, ReadsTheFirstAnnouncedSize) {
  EXPECT_EQ(contentLength(GetParam().headers), GetParam().size);
}

INSTANTIATE_TEST_SUITE_P(
    HeaderBlocks, ContentLengthTest,
    testing::Values(Announced{"HTTP/1.1 200 OK\0Content-Length: 4096\0Server: x\0\0"s, 4096},
                    Announced{"HTTP/1.1 200 OK\0content-length: 10\0\0"s, 10},
                    Announced{"HTTP/1.1 200 OK\0CONTENT-LENGTH:10\0\0"s, 10},
                    Announced{"HTTP/1.1 200 OK\0Content-Length:  1 0 \0\0"s, 10}, Announced{"Content-Length:\t7\0"s, 7},
                    // The size is rounded to the nearest whole number, halves to the even one.
                    Announced{"Content-Length: 10.5\0"s, 10}, Announced{"Content-Length: 11.5\0"s, 12},
                    Announced{"Content-Length: 1e3\0"s, 1000}, Announced{"Content-Length: 12abc\0"s, 12},
                    Announced{"Content-Length: 2147483647\0"s, 2147483647},
                    // The first occurrence counts, even inside another header's name.
                    Announced{"X-Content-Length: 7\0Content-Length: 10\0"s, 7},
                    // An empty body is announced, not missing.
                    Announced{"Content-Length: 0\0"s, 0},
                    // No size: no header, no number after it.
                    Announced{"HTTP/1.1 200 OK\0Server: x\0\0"s, std::nullopt},
                    Announced{"Content-Length: abc\0"s, std::nullopt}, Announced{"Content-Length:\0\0"s, std::nullopt},
                    Announced{""s, std::nullopt}));

TEST(ContentLength, SizeBeyond32BitsIsAnOverflow) {
  for (const std::string &headers : {"Content-Length: 2147483648\0"s, "Content-Length: -2147483649\0"s,
                                     "Content-Length: 99999999999999999999\0"s, "Content-Length: 1e400\0"s}) {
    try {
      contentLength(headers);
      ADD_FAILURE() << "no overflow for " << headers;
    } catch (const Error &error) {
      EXPECT_EQ(error.number(), errors::kOverflow);
      EXPECT_EQ(error.description(), text::cp1252(u8"Überlauf"));
    }
  }
}

}  // namespace
}  // namespace kf::net
