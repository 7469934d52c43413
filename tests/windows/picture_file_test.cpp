#include "windows/picture_file.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "platform/base/error.h"
#include "platform/os/files.h"
#include "support/temp_dir.h"

namespace kf::windows {
namespace {

TEST(PictureFile, NameIsTheAddressAfterItsLastSeparator) {
  EXPECT_EQ(FileNameFromAddress("http://www.localhost:8480/vi/abc/abc.jpg"), "abc.jpg");
  EXPECT_EQ(FileNameFromAddress("C:\\bilder/x\\vorschau.jpg"), "vorschau.jpg");
  EXPECT_EQ(FileNameFromAddress("http://host/vi/abc/"), "");
  EXPECT_EQ(FileNameFromAddress("abc.jpg"), "abc.jpg");
  EXPECT_EQ(FileNameFromAddress(""), "");
}

TEST(PictureFile, PicturesStayInTheirOwnFolder) {
  EXPECT_EQ(picturePath("/opt/kf", "http://host/vi/abc/sets.cfg"), "/opt/kf/dat/pics/sets.cfg");
  EXPECT_EQ(picturePath("/opt/kf/", "a/..b"), "/opt/kf/dat/pics/..b");
  for (const std::string &address :
       std::initializer_list<std::string>{"http://host/vi/", "http://host/vi/.", "http://host/vi/..", "x/a\x01.jpg",
                                          "x/a\x7F.jpg", std::string("x/a\0b", 5), "x/zeile\r\n"}) {
    EXPECT_THROW(picturePath("/opt/kf", address), Error) << address;
  }

  test::TempDir appDir;
  ensurePictureFolder(appDir.path());
  ensurePictureFolder(appDir.path());
  EXPECT_TRUE(files::folderExists(pictureFolder(appDir.path())));
}

}  // namespace
}  // namespace kf::windows
