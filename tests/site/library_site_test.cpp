// A folder of the user's own videos served by the site: what is listed and found, the pages in the
// program's grammar, the file with its ranges, pictures, rescans, and bad input.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "entry_grammar.h"
#include "http_probe.h"
#include "site/library/sqlite.h"
#include "site/library_folder.h"
#include "support/file_size_limit.h"

namespace kf::site::test {
namespace {

namespace fs = std::filesystem;
using kf::test::readFile;

std::string pageOne(const std::string &words) {
  return "/results?search_query=" + words + "&search=Search";
}

class LibraryTest : public ::testing::Test {
 protected:
  Answer get(const std::string &target, const std::string &headers = {}) {
    return fetch(site.port(), "GET", target, site.host(), headers);
  }
  // The titles found for the words, as the program reads them off the page.
  std::vector<std::string> titles(const std::string &words) {
    const std::string page = get(pageOne(words)).body;
    if (page.empty()) return {};
    const PageReading reading = readResultPage(page, false);
    EXPECT_TRUE(reading.problems.empty()) << words << ": " << reading.problems.front();
    std::vector<std::string> out;
    for (const auto &entry : reading.entries) out.push_back(entry.title);
    return out;
  }
  PageEntry only(const std::string &words) {
    const PageReading reading = readResultPage(get(pageOne(words)).body, false);
    EXPECT_EQ(reading.entries.size(), 1u) << words;
    return reading.entries.empty() ? PageEntry{} : reading.entries.front();
  }
  // The file request as the program resolves it from the watch page.
  std::string fileRequest(const std::string &id) {
    const std::string page = get("/watch?v=" + id).body;
    const auto front = page.find("SWFObject(\"") + 11;
    const std::string player = page.substr(front, page.find("\",", front) - front);
    const auto query = player.find('?') + 1;
    return "/get_video.php?" + player.substr(query, player.find("&s", query) - query);
  }

  LibrarySite site;
};

TEST_F(LibraryTest, ListsTheVideoFilesAndFindsFoldedWordsAsWordStarts) {
  const std::string cheese = "Käse aus der Straße";
  for (const std::string words :
       {"kase", "k%C3%A4se", "k%E4se", "KAESE", "strasse", "ubung", "%C3%9Cbung", "aus+str"}) {
    EXPECT_EQ(titles(words), std::vector<std::string>{cheese}) << words;
  }
  EXPECT_TRUE(titles("ase").empty()) << "a word is found by its start only";
  EXPECT_TRUE(titles("geheim").empty()) << "hidden folder";
  EXPECT_TRUE(titles("draussen").empty()) << "a link that leaves the folder";
  EXPECT_EQ(titles("innen"), std::vector<std::string>{"innen"}) << "a link inside it";

  const PageEntry beach = only("sylt");  // the side text is its description
  EXPECT_EQ(beach.title, "Strand am Meer");
  EXPECT_EQ(beach.description, "Am Strand von Sylt<br/>mit Möwen");
  EXPECT_EQ(beach.duration, "0:01");
  const PageEntry broken = only("kaputt");  // listed by its name, described by its path
  EXPECT_EQ(broken.description, "kaputt.mkv");
  EXPECT_EQ(broken.duration, "0:00");
  EXPECT_EQ(get("/results?search_type=search_videos&search_query=kase&search_sort=&search_category=0&page=2").body, "");

  const auto log = site.log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "5 Videos im Katalog, davon 1 nur mit ihrem Namen; 0 Dateien nicht lesbar.");
}

TEST_F(LibraryTest, TheFileComesWithItsTypeTagAndRangesAndAVanishedOneIsNotFound) {
  const std::string id = only("kase").id;
  const std::string bytes = readFile(site.folder() + "/kaese.webm");
  const std::string file = fileRequest(id);
  Answer whole = get(file);
  EXPECT_EQ(whole.status, 200);
  EXPECT_EQ(whole.headers["content-type"], "video/webm");
  EXPECT_EQ(whole.headers["content-disposition"], "attachment; filename=\"Kaese_aus_der_Strasse.webm\"");
  EXPECT_EQ(whole.body, bytes);
  const std::string tag = whole.headers["etag"];
  EXPECT_FALSE(tag.empty() || whole.headers["last-modified"].empty());

  Answer part = get(file, "Range: bytes=100-\r\nIf-Range: " + tag + "\r\n");
  EXPECT_EQ(part.status, 206);
  EXPECT_EQ(part.body, bytes.substr(100));
  Answer changed = get(file, "Range: bytes=100-\r\nIf-Range: \"anders\"\r\n");
  EXPECT_EQ(changed.status, 200);
  EXPECT_EQ(changed.body, bytes);
  EXPECT_EQ(get("/get_video.php?video_id=" + id + "&t=0").status, 403) << "a wrong token";

  fs::remove(site.folder() + "/kaese.webm");
  EXPECT_EQ(get(file).status, 404);
  EXPECT_EQ(get("/vi/" + id + "/" + id + ".jpg").status, 404);
}

TEST_F(LibraryTest, TheVideoWindowPlaysTheFileOrAStreamOrSaysWhyNotAndOffersTheFile) {
  const std::string broken = only("kaputt").id;
  const std::string embed = get("/embed/" + broken).body;
  EXPECT_EQ(embed.find("<video"), std::string::npos);
  EXPECT_NE(embed.find("Dieses Video kann das Videofenster nicht abspielen: FFmpeg kann die Datei nicht lesen."),
            std::string::npos);
  EXPECT_NE(embed.find("Datei: kaputt.mkv"), std::string::npos);
  EXPECT_NE(embed.find("href=\"http://" + site.host() + fileRequest(broken).substr(0, 30)), std::string::npos)
      << "its download";
  EXPECT_NE(get("/watch?v=" + broken).body.find("nicht abspielen"), std::string::npos);

  // MPEG-2 plays through a stream the site makes, with the player library the site serves.
  const std::string film = only("schulfilm").id;
  const std::string stream = get("/embed/" + film).body;
  EXPECT_NE(stream.find("data-stream=\"http://" + site.host() + "/stream/" + film + "/index.m3u8\""),
            std::string::npos);
  EXPECT_NE(stream.find("<script src=\"http://" + site.host() + "/player/hls.js\">"), std::string::npos);
  const Answer player = get("/player/hls.js");
  EXPECT_EQ(player.status, 200);
  EXPECT_EQ(player.body, readFile((defaultDataDir() / library::kStreamPlayer).string()));
  EXPECT_EQ(get("/watch?v=" + film).body.find("nicht abspielen"), std::string::npos);

  // H.264 in MP4 plays as it is, with its sound.
  const std::string playable = get("/embed/" + only("sylt").id).body;
  EXPECT_NE(playable.find("<video id=\"player\" controls autoplay tabindex=\"0\" src=\"http://" + site.host() +
                          "/get_video.php"),
            std::string::npos);
  EXPECT_EQ(get("/stream/" + only("sylt").id + "/index.m3u8").status, 404);
}

TEST_F(LibraryTest, PicturesLastUntilTheFileChangesBrokenFilesGetTheStandIn) {
  const std::string id = only("sylt").id;
  const std::string target = "/vi/" + id + "/" + id + ".jpg";
  Answer picture = get(target);
  EXPECT_EQ(picture.status, 200);
  EXPECT_EQ(picture.headers["content-type"], "image/jpeg");
  ASSERT_GT(picture.body.size(), 200u);
  EXPECT_EQ(picture.body.substr(0, 2), "\xFF\xD8");
  const fs::path cache = site.database() + ".pictures";
  ASSERT_EQ(std::distance(fs::directory_iterator(cache), fs::directory_iterator()), 1);
  EXPECT_EQ(get(target).body, picture.body);

  const std::string standIn = readFile((defaultDataDir() / "stand-in.jpg").string());
  const std::string broken = only("kaputt").id;
  EXPECT_EQ(get("/vi/" + broken + "/" + broken + ".jpg").body, standIn);

  // The file changes: its old picture goes with the rescan. The link to it changed with it.
  std::ofstream(site.folder() + "/Urlaub/Strand_am.Meer.mp4", std::ios::app) << "x";
  const auto counts = site.library().rescan();
  EXPECT_EQ(counts.read, 2u);
  for (const auto &entry : fs::directory_iterator(cache)) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(id)) << entry.path();
  }

  // A full disk: the picture is served without being kept, and the log says so once.
  const kf::test::FileSizeLimit full(16);
  EXPECT_EQ(get(target).body.substr(0, 2), "\xFF\xD8");
  for (const auto &entry : fs::directory_iterator(cache)) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(id)) << entry.path();
  }
  EXPECT_NE(site.log().back().find("ohne Ablage"), std::string::npos);
}

TEST_F(LibraryTest, RescansReadOnlyWhatChangedAndIdsStayForTheSamePath) {
  const std::string id = only("kase").id;
  EXPECT_EQ(site.library().rescan().read, 0u);

  fs::copy_file(site.folder() + "/Urlaub/Strand_am.Meer.mp4", site.folder() + "/Urlaub/neu.mp4");
  fs::remove(site.folder() + "/kaputt.mkv");
  const auto counts = site.library().rescan();
  EXPECT_EQ(counts.read, 1u);
  EXPECT_EQ(counts.dropped, 1u);
  EXPECT_EQ(counts.known, 5u);
  EXPECT_TRUE(titles("kaputt").empty());
  const std::string added = only("neu").id;

  site.restart();
  EXPECT_EQ(only("kase").id, id);
  // A catalogue made afresh gives the same paths the same ids: favourites stay valid.
  fs::remove(site.database());
  site.restart();
  EXPECT_EQ(only("kase").id, id);
  EXPECT_EQ(only("neu").id, added);
}

TEST_F(LibraryTest, ADamagedOrForeignCatalogueIsMovedAsideAndBuiltAnew) {
  for (const bool foreign : {false, true}) {
    fs::remove(site.database() + ".alt");
    if (foreign) {
      library::Connection other(site.database() + ".other");
      other.run("CREATE TABLE notes (x); PRAGMA user_version = 7");
    }
    kf::test::writeFile(site.database(), foreign ? readFile(site.database() + ".other") : std::string(9000, 'x'));
    site.restart();
    EXPECT_TRUE(fs::exists(site.database() + ".alt"));
    EXPECT_NE(site.log().at(site.log().size() - 2).find(foreign ? "kein Katalog" : "beschädigt"), std::string::npos)
        << site.log().at(site.log().size() - 2);
    EXPECT_EQ(titles("kase").size(), 1u);
  }
}

TEST(LibrarySearch, MatchesInTheTitleComeFirstThenTheOthersEachByTitleAndPaged) {
  const kf::test::TempDir dir;
  fs::create_directory(dir.file("lib"));
  const std::string database = dir.file("lib.sqlite");
  library::Store::prepare(database, [](const std::string &) {});
  {
    library::Store store(database);
    for (const auto &[title, description] : std::vector<std::pair<std::string, std::string>>{
             {"Zebra und Katze", "x"}, {"Apfel", "eine Katze"}, {"Katzenjammer", "y"}, {"Baum", "kein Tier"}}) {
      store.put({{}, title + ".mp4", 0, 0, title, description, 0, "as-is", {}, true}, std::nullopt);
    }
  }
  auto options = optionsFor(dir.file("lib"), database, [](const std::string &) {});
  options.scan = false;
  const library::Library library(options);
  auto titles = [&](std::size_t first, std::size_t count) {
    std::vector<std::string> out;
    for (const auto &video : library.search({"katz"}, first, count).videos) out.push_back(video.title);
    return out;
  };
  EXPECT_EQ(titles(0, 20), (std::vector<std::string>{"Katzenjammer", "Zebra und Katze", "Apfel"}));
  EXPECT_EQ(titles(1, 1), std::vector<std::string>{"Zebra und Katze"});
  EXPECT_EQ(library.search({"katz"}, 3, 20).total, 3u);
  EXPECT_TRUE(titles(3, 20).empty());
}

TEST(LibraryFolder, AMissingFolderIsNamedInGermanAndNothingIsMade) {
  const kf::test::TempDir dir;
  const std::string database = dir.file("cache/lib.sqlite");
  kf::test::writeFile(dir.file("datei"), "x");
  for (const auto &[folder, message] : std::vector<std::pair<std::string, std::string>>{
           {dir.file("fehlt"), "Den Ordner „" + dir.file("fehlt") + "“ gibt es nicht."},
           {dir.file("datei"), "„" + dir.file("datei") + "“ ist kein Ordner."}}) {
    try {
      library::Library library(optionsFor(folder, database, [](const std::string &) {}));
      ADD_FAILURE() << "no error for " << folder;
    } catch (const library::LibraryError &e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
  EXPECT_FALSE(fs::exists(dir.file("cache")));

  // The program says it and ends with status 2.
  const std::string command = std::string(KF_SITE_PROGRAM) + " --library '" + dir.file("fehlt") + "' --database '" +
                              database + "' --port 0 2>'" + dir.file("err") + "'";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 2);
  EXPECT_NE(readFile(dir.file("err")).find("fehlt“ gibt es nicht."), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.file("cache")));
}

TEST(LibraryWorker, AWorkerThatHangsOrDiesIsEndedAndTheNextAskStartsAFreshOne) {
  const kf::test::TempDir dir;
  kf::test::writeFile(dir.file("hangs"), "#!/bin/sh\nexec sleep 60\n");
  kf::test::writeFile(dir.file("dies"), "#!/bin/sh\nexit 3\n");
  for (const std::string name : {"hangs", "dies"}) {
    fs::permissions(dir.file(name), fs::perms::owner_all);
    worker::Worker worker(dir.file(name));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.ask({"probe", "x", "100"}, std::chrono::milliseconds(300)));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3)) << name;
  }
  worker::Worker real(KF_SITE_PROGRAM);
  const auto answer = real.ask({"probe", clipFolder() + "/kaese.webm", "4000"}, std::chrono::seconds(10));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->at(0), "ok");
  EXPECT_EQ(answer->at(1), "Käse aus der Straße");
  EXPECT_EQ(real.ask({"probe", clipFolder() + "/kaputt.mkv", "4000"}, std::chrono::seconds(10)),
            worker::Message{"unreadable"});
}

}  // namespace
}  // namespace kf::site::test
