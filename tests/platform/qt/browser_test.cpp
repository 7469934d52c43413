// The embedded browser on the Qt toolkit: a watch page in the program's data folder opens by its
// "file://" address, also where the folder's name is not plain ASCII.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QWebEngineView>
#include <filesystem>

#include "platform/qt/control_peer.h"
#include "support/qt_environment.h"
#include "support/temp_dir.h"

namespace kf::qtui {
namespace {

TEST(QtBrowserTest, NavigatesToAFileAddressInTheDataFolder) {
  test::TempDir dir;
  // The folder name is bytes on disk (here UTF-8), taken unchanged into the address.
  const std::string data = dir.file("Ordner \xC3\xA4/dat");
  std::filesystem::create_directories(data);
  test::writeFile(data + "/abc123.html", "<html><head><title>Seite abc123</title></head><body>Video</body></html>\r\n");

  {
    ui::Window window(test::qtToolkit(), "frmVid", "Video", 6960, 6105, {});
    auto &browser = window.add<ui::Browser>("brw", nullptr, {0, 0, 6960, 6105});
    auto *view = qobject_cast<QWebEngineView *>(widgetOf(browser));
    ASSERT_NE(view, nullptr);
    QSignalSpy finished(view, &QWebEngineView::loadFinished);
    window.show();
    browser.navigate("file://" + data + "/abc123.html");
    // Chromium starts its helper process first; the limit is for a stuck load, not a measure.
    ASSERT_TRUE(finished.count() > 0 || finished.wait(120000));
    EXPECT_TRUE(finished.front().front().toBool());
    EXPECT_TRUE(view->url().isLocalFile());
    EXPECT_EQ(view->title(), QStringLiteral("Seite abc123"));
  }
  test::deleteLeftovers();
}

}  // namespace
}  // namespace kf::qtui
