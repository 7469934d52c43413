#include "platform/http/internet_transfer.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/ui/headless_toolkit.h"
#include "site/faults/faulty_server.h"
#include "support/picture_server.h"

namespace kf::http {
namespace {

using namespace std::chrono_literals;

class InternetTransferTest : public ::testing::Test {
 protected:
  InternetTransferTest() {
    ui::setToolkit(tk);
    root = "http://127.0.0.1:" + std::to_string(site.start());
    const auto &video = site.site().catalogue().videos().front();
    pictureAddress = root + "/vi/" + video.id + "/" + video.id + ".jpg";
  }

  // Starts a transfer on `inet` and waits in the event loop for its event.
  std::vector<int> run(InternetTransfer &inet, const std::string &address) {
    std::vector<int> states;
    inet.onStateChanged = [&](int state) {
      EXPECT_EQ(std::this_thread::get_id(), uiThread);
      states.push_back(state);
    };
    inet.execute(address);
    EXPECT_TRUE(inet.stillExecuting());
    EXPECT_TRUE(states.empty()) << "the event must wait for the event loop";
    while (inet.stillExecuting()) tk.waitForEvent();
    return states;
  }

  ui::HeadlessToolkit tk;
  site::FaultyServer site;
  std::string root;
  std::string pictureAddress;
  std::thread::id uiThread = std::this_thread::get_id();
};

TEST_F(InternetTransferTest, CompletedResponseIsReadInPieces) {
  InternetTransfer inet(tk.poster());
  EXPECT_EQ(run(inet, pictureAddress), std::vector<int>{kStateResponseCompleted});
  std::string body;
  for (std::string piece = inet.getChunk(100); !piece.empty(); piece = inet.getChunk(100)) {
    EXPECT_LE(piece.size(), 100U);
    body += piece;
  }
  const auto &video = site.site().catalogue().videos().front();
  EXPECT_EQ(body, site.site().answer({"GET", "/vi/" + video.id + "/" + video.id + ".jpg", "127.0.0.1"}).body);

  // An error page is an answer too; the next transfer starts with its own body.
  EXPECT_EQ(run(inet, root + "/vi/nothing/here.jpg"), std::vector<int>{kStateResponseCompleted});
  EXPECT_NE(inet.getChunk(1 << 20).find("<html"), std::string::npos);
}

TEST_F(InternetTransferTest, OneTransferAtATime) {
  site.setFault({"GET", "/vi/", 1}, site::Fault::Slow);
  InternetTransfer inet(tk.poster());
  inet.execute(pictureAddress);
  try {
    inet.execute(pictureAddress);
    FAIL() << "a second transfer started while the first ran";
  } catch (const Error &error) {
    EXPECT_EQ(error.number(), errors::kStillExecuting);
    EXPECT_EQ(error.description(), text::cp1252(u8"Der Vorgang wird noch ausgeführt."));
  }
  int states = 0;
  inet.onStateChanged = [&](int state) {
    EXPECT_EQ(state, kStateResponseCompleted);
    ++states;
  };
  while (inet.stillExecuting()) tk.waitForEvent();
  EXPECT_EQ(states, 1);
  EXPECT_EQ(site.requests().size(), 1U);
}

TEST_F(InternetTransferTest, RefusesWhatIsNoPlainHttpAddress) {
  InternetTransfer inet(tk.poster());
  for (const std::string address : {"https://127.0.0.1/a.jpg", "ftp://127.0.0.1/a.jpg", "a.jpg", "", "http://"}) {
    try {
      inet.execute(address);
      ADD_FAILURE() << address;
    } catch (const Error &error) {
      EXPECT_EQ(error.number(), kErrorBadAddress) << address;
    }
    EXPECT_FALSE(inet.stillExecuting());
  }
}

TEST_F(InternetTransferTest, BlanksAndUmlautsAreEncodedOnTheRequestLine) {
  InternetTransfer inet(tk.poster());
  run(inet, root + "/vi/a b/" + text::cp1252(u8"bär.jpg"));
  ASSERT_EQ(site.requests().size(), 1U);
  EXPECT_EQ(site.requests().front().target, "/vi/a%20b/b%E4r.jpg");
}

TEST_F(InternetTransferTest, LimitsAndBrokenServersEndInTheErrorState) {
  struct Case {
    const char *what;
    site::Fault fault;
    http::Limits limits;
  };
  const http::Limits picture = http::limitsFor(http::TransferKind::Picture);
  http::Limits smallBody = picture;
  smallBody.maxBodyBytes = 100;
  for (const Case &c :
       {Case{"body over the cap", site::Fault::Slow, smallBody}, Case{"endless body", site::Fault::Endless, picture},
        Case{"closed without a word", site::Fault::Refuse, picture}, Case{"cut off", site::Fault::CutOff, picture}}) {
    site.clearFaults();
    site.setFault({"GET", "/vi/", 0}, c.fault);
    InternetTransfer inet(tk.poster(), c.limits);
    EXPECT_EQ(run(inet, pictureAddress), std::vector<int>{kStateError}) << c.what;
    EXPECT_EQ(inet.getChunk(1024), "") << c.what;
  }
}

TEST_F(InternetTransferTest, SilentServerEndsAtTheRequestTimeOut) {
  test::PictureServer silent;
  http::Limits shortRequest = http::limitsFor(http::TransferKind::Picture);
  shortRequest.totalTimeout = 300ms;
  InternetTransfer inet(tk.poster(), shortRequest);
  EXPECT_EQ(run(inet, silent.address("/held/a.jpg")), std::vector<int>{kStateError});
}

TEST_F(InternetTransferTest, ARunningTransferEndsWithItsOwner) {
  site.setFault({"GET", "/vi/", 0}, site::Fault::Endless);
  bool raised = false;
  {
    InternetTransfer inet(tk.poster());
    inet.onStateChanged = [&](int) { raised = true; };
    inet.execute(pictureAddress);
  }
  tk.doEvents();
  EXPECT_FALSE(raised);
}

}  // namespace
}  // namespace kf::http
