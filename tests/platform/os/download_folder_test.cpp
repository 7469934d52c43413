// The folder downloads go into: the one the desktop's user-dirs file names, else Downloads at home.
#include "platform/os/desktop/download_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/environment_variable.h"
#include "support/temp_dir.h"

namespace {

TEST(DownloadFolder, UserDirsFileNamesIt) {
  using kf::desktop::downloadFolderFromUserDirs;
  EXPECT_EQ(downloadFolderFromUserDirs("# xdg\n XDG_DOWNLOAD_DIR=\"$HOME/Her\\\"unter\"\n", "/home/a"),
            "/home/a/Her\"unter");
  EXPECT_EQ(downloadFolderFromUserDirs("XDG_DOWNLOAD_DIR=\"/data/dl\"\n", "/home/a"), "/data/dl");
  // Forms the file may not hold are not guessed at.
  for (const std::string line :
       {"XDG_DOWNLOAD_DIR=\"dl\"", "XDG_DOWNLOAD_DIR=$HOME/dl", "XDG_DOWNLOAD_DIR=\"$HOMEX/dl\""}) {
    EXPECT_EQ(downloadFolderFromUserDirs(line, "/h"), std::nullopt) << line;
  }
}

TEST(DownloadFolder, FallsBackToDownloadsInTheHomeFolder) {
  kf::test::TempDir home;
  const kf::test::EnvironmentVariable homeFolder("HOME", home.path());
  const kf::test::EnvironmentVariable configFolder("XDG_CONFIG_HOME", home.file("config"));
  kf::test::EnvironmentVariable downloadFolder("XDG_DOWNLOAD_DIR", std::nullopt);
  EXPECT_EQ(kf::desktop::downloadFolder(), home.file("Downloads"));
  std::filesystem::create_directory(home.file("config"));
  kf::test::writeFile(home.file("config/user-dirs.dirs"), "XDG_DOWNLOAD_DIR=\"$HOME/Herunterladen\"\n");
  EXPECT_EQ(kf::desktop::downloadFolder(), home.file("Herunterladen"));
  downloadFolder.set("/srv/dl");
  EXPECT_EQ(kf::desktop::downloadFolder(), "/srv/dl");
}

}  // namespace
