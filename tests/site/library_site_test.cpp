// A folder of the user's own videos served by the site: what is listed and found, the pages in the
// program's grammar, the file with its ranges, pictures, rescans, and bad input.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "entry_grammar.h"
#include "site/library/sqlite.h"
#include "support/file_size_limit.h"
#include "support/http_probe.h"
#include "support/library_folder.h"
#include "support/programs.h"
#include "support/started_program.h"

namespace kf::site::test {
namespace {

namespace fs = std::filesystem;
using kf::test::readFile;

std::string pageOne(const std::string &words) {
  return "/results?search_query=" + words + "&search=Search";
}

// The site serving a copy of a folder of clips, read as the program reads its pages.
class LibraryPages : public ::testing::Test {
 protected:
  explicit LibraryPages(const std::string &source) : site(source) {}
  Answer get(const std::string &target, const std::string &headers = {}) {
    return fetch(site.port(), "GET", site.root() + target, site.host(), headers);
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

class LibraryTest : public LibraryPages {
 protected:
  LibraryTest() : LibraryPages(clipFolder()) {}
};

class FamilyFolderTest : public LibraryPages {
 protected:
  FamilyFolderTest() : LibraryPages(familyFolder()) {}
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

  // Each word once, sixteen at most: sixteen beginnings of its words, then a word it does not hold,
  // which is not searched for; four searches of thousands of words leave the pages their answers.
  EXPECT_EQ(titles("k+ka+kas+kase+a+au+aus+d+de+der+s+st+str+stra+stras+strasse+nirgends"),
            std::vector<std::string>{cheese});
  EXPECT_TRUE(titles("k+ka+kas+kase+a+au+aus+d+de+der+s+st+str+stra+stras+nirgends").empty());
  std::string huge = "kase";
  for (int i = 0; i < 1500; ++i) huge += i % 2 ? "+kase" : "+KASE";
  std::vector<std::thread> searches;
  std::vector<std::vector<std::string>> found(4);
  searches.reserve(found.size());
  for (auto &one : found) searches.emplace_back([&] { one = titles(huge); });
  EXPECT_EQ(get("/watch?v=" + only("sylt").id).status, 200);
  for (auto &search : searches) search.join();
  for (const auto &one : found) EXPECT_EQ(one, std::vector<std::string>{cheese});

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

TEST_F(LibraryTest, TheFileComesWithItsTypeTagAndRangesHeldToItsSizeAndAVanishedOneIsNotFound) {
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

  // Every range is held against the size before a byte goes out, for a file of the folder and a
  // built-in clip alike; each answer is whole and ends, and the site goes on serving.
  Server builtIn;
  const int builtInPort = builtIn.start();
  const Video &clip = builtIn.site().catalogue().videos().front();
  struct Served {
    int port;
    std::string host, file, bytes;
  };
  for (const Served &served :
       {Served{site.port(), site.host(), site.root() + file, bytes},
        Served{builtInPort, "localhost", "/get_video.php?video_id=" + clip.id + "&t=" + builtIn.site().token(clip),
               builtIn.site().videos().file(clip)->bytes}}) {
    const std::uint64_t size = served.bytes.size();
    const std::string s = std::to_string(size);
    struct Case {
      std::string range;
      int status;
      std::uint64_t first, length;  // of the bytes sent
      std::string contentRange;
    };
    const std::vector<Case> cases = {
        {"bytes=0-99", 206, 0, 100, "bytes 0-99/" + s},
        {"bytes=" + std::to_string(size - 100) + "-99999999", 206, size - 100, 100,
         "bytes " + std::to_string(size - 100) + "-" + std::to_string(size - 1) + "/" + s},
        {"bytes=-50", 206, size - 50, 50,
         "bytes " + std::to_string(size - 50) + "-" + std::to_string(size - 1) + "/" + s},
        {"bytes=-99999999", 206, 0, size, "bytes 0-" + std::to_string(size - 1) + "/" + s},
        {"bytes=" + s + "-", 416, 0, 0, "bytes */" + s},
        {"bytes=" + s + "-" + std::to_string(size + 10) + ", 99999999-", 416, 0, 0, "bytes */" + s},
        {"bytes=0-1, 2-9,5-7", 206, 0, 10, "bytes 0-9/" + s},
        {"bytes=0-1,10-20", 200, 0, size, ""},
        {"bytes=0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1,0-1", 200, 0, size, ""},
        {"bytes=9-2", 200, 0, size, ""},
        {"bytes=", 200, 0, size, ""},
        {"lines=0-5", 200, 0, size, ""},
    };
    for (const Case &c : cases) {
      SCOPED_TRACE(served.host + " " + c.range);
      const Answer answer = fetch(served.port, "GET", served.file, served.host, "Range: " + c.range + "\r\n");
      EXPECT_TRUE(answer.complete);
      EXPECT_EQ(answer.status, c.status);
      EXPECT_EQ(answer.headers.count("content-range") ? answer.headers.at("content-range") : "", c.contentRange);
      if (c.status == 416) continue;
      EXPECT_EQ(answer.contentLength(), static_cast<long long>(c.length));
      EXPECT_TRUE(answer.body == served.bytes.substr(c.first, c.length)) << answer.body.size() << " bytes";
    }
  }
  EXPECT_EQ(get("/").status, 200);

  fs::remove(site.folder() + "/kaese.webm");
  EXPECT_EQ(get(file).status, 404);
  EXPECT_EQ(get("/vi/" + id + "/" + id + ".jpg").status, 404);
}

// Without its key the site knows nothing; with it, every address on its pages carries the key.
TEST_F(LibraryTest, OnlyAddressesWithTheKeyAreAnsweredAndThePagesWriteNoOther) {
  const std::string id = only("kase").id;
  const std::string film = only("schulfilm").id;  // plays through a stream
  const std::string key = site.key();
  std::string wrong = key;
  wrong[0] = wrong[0] == '0' ? '1' : '0';
  for (const std::string &target :
       {std::string("/"), "/" + wrong + "/", "/" + key + "0/", "/" + key.substr(1) + "/", "/watch?v=" + id,
        "/vi/" + id + "/" + id + ".jpg", "/" + wrong + fileRequest(id), "/stream/" + film + "/index.m3u8",
        "/stream/" + film + "/0.ts", std::string("/player/hls.js")}) {
    const Answer answer = fetch(site.port(), "GET", target, site.host());
    EXPECT_EQ(answer.status, 404) << target;
    EXPECT_EQ(answer.body, "Nicht gefunden.\n") << target;
    EXPECT_EQ(answer.headers.count("x-klipfang-library"), 0U) << target;
  }
  EXPECT_FALSE(get("/").headers["x-klipfang-library"].empty());
  EXPECT_EQ(fetch(site.port(), "GET", site.root(), site.host()).status, 200) << "the bare address is the home page";

  const std::string base = "http://" + site.host() + site.root() + "/";
  for (const std::string &target :
       std::vector<std::string>{"/", "/results?search_query=a&search=Search", "/watch?v=" + id, "/embed/" + id,
                                "/embed/" + film, "/klipfang", "/watch?v=nirgends"}) {
    const std::string page = get(target).body;
    std::size_t addresses = 0;
    for (const std::string opening : {"href=\"", "src=\"", "action=\"", "SWFObject(\"", "data-stream=\""}) {
      for (auto at = page.find(opening); at != std::string::npos; at = page.find(opening, at + 1), ++addresses) {
        const std::string address =
            page.substr(at + opening.size(), page.find('"', at + opening.size()) - at - opening.size());
        EXPECT_TRUE(address.starts_with(site.root() + "/") || address.starts_with(base)) << target << ": " << address;
      }
    }
    EXPECT_GT(addresses, 0U) << target;
  }
}

TEST_F(LibraryTest, TheVideoWindowPlaysTheFileOrAStreamOrSaysWhyNotAndOffersTheFile) {
  const std::string broken = only("kaputt").id;
  const std::string embed = get("/embed/" + broken).body;
  EXPECT_EQ(embed.find("<video"), std::string::npos);
  EXPECT_NE(embed.find("Dieses Video kann das Videofenster nicht abspielen: FFmpeg kann die Datei nicht lesen."),
            std::string::npos);
  EXPECT_NE(embed.find("Datei: kaputt.mkv"), std::string::npos);
  EXPECT_NE(embed.find("href=\"http://" + site.host() + site.root() + fileRequest(broken).substr(0, 30)),
            std::string::npos)
      << "its download";
  EXPECT_NE(get("/watch?v=" + broken).body.find("nicht abspielen"), std::string::npos);

  // MPEG-2 plays through a stream the site makes, with the player library the site serves.
  const std::string film = only("schulfilm").id;
  const std::string stream = get("/embed/" + film).body;
  EXPECT_NE(stream.find("data-stream=\"http://" + site.host() + site.root() + "/stream/" + film + "/index.m3u8\""),
            std::string::npos);
  EXPECT_NE(stream.find("<script src=\"http://" + site.host() + site.root() + "/player/hls.js\">"), std::string::npos);
  const Answer player = get("/player/hls.js");
  EXPECT_EQ(player.status, 200);
  EXPECT_EQ(player.body, readFile((defaultDataDir() / library::kStreamPlayer).string()));
  EXPECT_EQ(get("/watch?v=" + film).body.find("nicht abspielen"), std::string::npos);

  // H.264 in MP4 plays as it is, with its sound.
  const std::string playable = get("/embed/" + only("sylt").id).body;
  EXPECT_NE(playable.find("<video id=\"player\" controls autoplay tabindex=\"0\" src=\"http://" + site.host() +
                          site.root() + "/get_video.php"),
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

TEST_F(FamilyFolderTest, EveryKindIsListedWithItsPlayTimeAndAPictureOfItsOwnAPhonesClipUpright) {
  const std::string standIn = readFile((defaultDataDir() / "stand-in.jpg").string());
  for (const std::string word : {"00001", "tag", "band", "vts", "fest", "geburtstag", "kino", "schule", "clip"}) {
    const PageEntry entry = only(word);
    EXPECT_EQ(entry.duration, "0:01") << word;
    const std::string picture = get("/vi/" + entry.id + "/" + entry.id + ".jpg").body;
    EXPECT_NE(picture, standIn) << word;
    EXPECT_EQ(jpegSize(picture).first, 130) << word;
  }
  // Stored 160 x 120, shown turned a quarter: 130 wide, taller than wide.
  const PageEntry portrait = only("madchen");
  EXPECT_EQ(jpegSize(get("/vi/" + portrait.id + "/" + portrait.id + ".jpg").body), std::make_pair(130, 172));
}

// Names and texts written the Apple way are shown, found and downloaded as the same names typed
// elsewhere; a folder's words find every video in it; the home page names the folder and leads to
// all its videos, by folder and title.
TEST_F(FamilyFolderTest, NamesAreComposedFoldersFoundAndTheHomePageLeadsToEveryVideo) {
  const PageEntry girl = only("madchen");
  EXPECT_EQ(girl.title, "Mädchen");
  EXPECT_EQ(girl.description, "Möwen am Meer");
  EXPECT_EQ(titles("ma%CC%88dchen"), std::vector<std::string>{"Mädchen"});
  EXPECT_EQ(get(fileRequest(girl.id)).headers["content-disposition"], "attachment; filename=\"Maedchen.mp4\"");
  for (const std::string words : {"urlaub", "2023", "URLAUB+2023"}) {
    EXPECT_EQ(titles(words), (std::vector<std::string>{"Brandung", "Mädchen"})) << words;
  }

  const std::string home = get("/").body;
  EXPECT_NE(home.find("<h1>Ordner „lib“</h1>"), std::string::npos) << home;
  EXPECT_NE(home.find("<p>11 Videos in diesem Ordner"), std::string::npos) << home;
  for (const char *builtIn : {"Katzen", "Musik", "Berlin"}) EXPECT_EQ(home.find(builtIn), std::string::npos);
  const std::string link = site.root() + "/results?search_query=*&amp;search=Search\">Alle Videos</a>, nach Ordner";
  EXPECT_NE(home.find(link), std::string::npos);
  EXPECT_EQ(titles("*"), (std::vector<std::string>{"Fest", "Geburtstag", "Kino", "Schule", "00001", "Band", "Tag",
                                                   "VTS 01 1", "Clip", "Brandung", "Mädchen"}));
  EXPECT_EQ(titles("*+fest"), std::vector<std::string>{"Fest"}) << "beside other words, * adds nothing";
}

TEST(LibrarySearch, MatchesInTheTitleComeFirstThenTheOthersEachByTitleAndPaged) {
  const kf::test::TempDir dir;
  fs::create_directory(dir.file("lib"));
  const std::string database = dir.file("lib.sqlite");
  library::Store::prepare(database, [](const std::string &) {});
  {
    library::Store store(database);
    library::Transaction transaction(store.connection());
    for (const auto &[title, description] : std::vector<std::pair<std::string, std::string>>{
             {"Zebra und Katze", "x"}, {"Apfel", "eine Katze"}, {"Katzenjammer", "y"}, {"Baum", "kein Tier"}}) {
      store.put({{}, title + ".mp4", 0, 0, title, description, 0, "as-is", {}, true}, std::nullopt);
    }
    for (int i = 0; i < 3000; ++i) {
      const std::string name = "Ausflug " + std::to_string(i);
      store.put({{}, name + ".mp4", 0, 0, name, "an einem Abend", 0, "as-is", {}, true}, std::nullopt);
    }
    transaction.commit();
  }
  auto options = optionsFor(dir.file("lib"), database, [](const std::string &) {});
  options.scan = false;
  {
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

  // A search that runs past its time is given up and the client asked to come back; the other
  // pages go on.
  options.searchTime = std::chrono::milliseconds(0);
  Server server(std::make_shared<library::Library>(options));
  const int port = server.start();
  const std::string root = "/" + server.site().videos().accessKey();
  Answer busy = fetch(port, "GET", root + "/results?search_query=a&search=Search", "localhost");
  EXPECT_EQ(busy.status, 503);
  EXPECT_EQ(busy.headers["retry-after"], "2");
  EXPECT_NE(busy.body.find("Die Suche dauerte zu lange."), std::string::npos);
  const std::string id = server.site().videos().featured(1).at(0).id;
  EXPECT_EQ(fetch(port, "GET", root + "/watch?v=" + id, "localhost").status, 200);
}

// One catalogue, one folder, one running site: another start on it is refused, with both named,
// and the catalogue stays as it was.
TEST(LibraryFolder, ACatalogueBelongsToOneFolderAndOneRunningSite) {
  const kf::test::TempDir dir;
  for (const char *name : {"eins", "zwei"}) fs::create_directory(dir.file(name));
  const std::string database = dir.file("katalog.sqlite");
  const auto refusal = [&](const std::string &folder) -> std::string {
    try {
      auto options = optionsFor(dir.file(folder), database, [](const std::string &) {});
      options.scan = false;
      library::Library library(options);
      return {};
    } catch (const library::LibraryError &e) {
      return e.what();
    }
  };
  {
    auto options = optionsFor(dir.file("eins"), database, [](const std::string &) {});
    options.scan = false;
    library::Library running(options);
    running.announce("http://127.0.0.1:1234/schluessel");
    EXPECT_EQ(library::CatalogueLock::runningAddress(database), "http://127.0.0.1:1234/schluessel");
    for (const std::string folder : {"eins", "zwei"}) {
      const std::string told = refusal(folder);
      EXPECT_NE(told.find("läuft schon eine klipfang-site (Prozess " + std::to_string(::getpid()) +
                          ") für den Ordner „" + dir.file("eins") +
                          "“, unter http://127.0.0.1:1234/schluessel. Eine zweite für „" + dir.file(folder) + "“"),
                std::string::npos)
          << told;
    }
  }
  EXPECT_FALSE(library::CatalogueLock::runningAddress(database));
  const std::string before = readFile(database);
  EXPECT_EQ(refusal("zwei"), "Der Katalog „" + database + "“ gehört zum Ordner „" + dir.file("eins") + "“, nicht zu „" +
                                 dir.file("zwei") +
                                 "“. Geben Sie für diesen Ordner mit --database einen eigenen Katalog an.");
  EXPECT_EQ(refusal("eins"), "");
  kf::test::StartedProgram site(KF_SITE_PROGRAM, {"--library", dir.file("zwei"), "--database", database, "--port", "0"},
                                dir.file("out"));
  EXPECT_EQ(site.exitStatus(), 2);
  EXPECT_NE(readFile(dir.file("out")).find("gehört zum Ordner"), std::string::npos);
  EXPECT_EQ(readFile(database), before);
}

// The key is kept beside the catalogue for the user alone, the same across starts until a new one is
// asked for, and the start line gives the address to hand Klipfang and says who reaches it.
TEST(LibraryFolder, TheKeyIsKeptForTheUserAloneAndTheStartLineGivesItsAddress) {
  const kf::test::TempDir dir;
  fs::create_directory(dir.file("lib"));
  const std::string database = dir.file("lib.sqlite");
  const auto started = [&](const std::vector<std::string> &more) {
    std::vector<std::string> arguments = {"--library", dir.file("lib"), "--database", database, "--port", "0"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    kf::test::StartedProgram site(KF_SITE_PROGRAM, arguments, dir.file("said"));
    std::string said;
    EXPECT_TRUE(
        kf::test::eventually([&] { return (said = readFile(dir.file("said"))).find("Strg+C") != std::string::npos; }));
    site.kill(SIGTERM);
    EXPECT_EQ(site.exitStatus(), 0);
    return said;
  };
  const auto keyIn = [](const std::string &said) {
    const std::size_t at = said.find("Die Adresse für Klipfang: http://");
    return at == std::string::npos ? std::string() : said.substr(said.find('/', at + 41) + 1, 32);
  };
  const std::string first = started({});
  const std::string key = keyIn(first);
  EXPECT_EQ(key.size(), 32U) << first;
  EXPECT_NE(first.find("auf 127.0.0.1: nur dieser Computer erreicht sie. Die Adresse für Klipfang: http://127.0.0.1:"),
            std::string::npos)
      << first;
  EXPECT_EQ(readFile(database + ".key"), key + "\n");
  EXPECT_EQ(fs::status(database + ".key").permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(keyIn(started({})), key);
  const std::string renewed = keyIn(started({"--new-key"}));
  EXPECT_NE(renewed, key);
  EXPECT_EQ(keyIn(started({})), renewed);
  fs::permissions(database + ".key", fs::perms::others_read, fs::perm_options::add);
  EXPECT_NE(keyIn(started({})), renewed) << "a key others could read is not kept";
  const std::string open = started({"--listen", "0.0.0.0"});
  EXPECT_NE(open.find("auf 0.0.0.0: das Netz erreicht sie unter "), std::string::npos) << open;
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

// A baseline JPEG of a 16000 x 16000 colour frame whose every block is flat: 1.5 MB on disk, 384 MB
// as a decoded picture.
std::string hugeFrame() {
  const auto segment = [](unsigned char marker, const std::string &payload) {
    const std::size_t length = payload.size() + 2;
    return std::string{'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xFF)} +
           payload;
  };
  const std::string side = {'\x3E', '\x80'};  // 16000
  const std::string oneCode = std::string(1, '\x01') + std::string(15, '\0') + std::string(1, '\0');
  return "\xFF\xD8" + segment(0xDB, std::string(1, '\0') + std::string(64, '\x01')) +
         segment(0xC0, "\x08" + side + side + "\x03" + std::string("\x01\x22\0\x02\x11\0\x03\x11\0", 9)) +
         segment(0xC4, '\0' + oneCode) + segment(0xC4, '\x10' + oneCode) +
         segment(0xDA, std::string("\x03\x01\0\x02\0\x03\0\0\x3F\0", 10)) + std::string(1000 * 1000 * 12 / 8, '\0') +
         "\xFF\xD9";
}

// A frame beyond 8K is never decoded: the file gets the stand-in, and no process of the site's grows
// far for it (the frame alone would take 384 MB).
TEST(LibraryWorker, AFrameBeyond8KGetsTheStandInAndNoWorkerGrowsForIt) {
  const kf::test::TempDir dir;
  fs::create_directory(dir.file("lib"));
  kf::test::writeFile(dir.file("riesig.jpg"), hugeFrame());
  const std::string remux = "ffmpeg -nostdin -loglevel error -y -f mjpeg -i '" + dir.file("riesig.jpg") +
                            "' -c:v copy '" + dir.file("lib/riesig.mkv") + "'";
  ASSERT_EQ(std::system(remux.c_str()), 0);
  {
    library::Library library(optionsFor(dir.file("lib"), dir.file("lib.sqlite"), [](const std::string &) {}));
    library.waitForFirstScan();
    const auto found = library.search({"riesig"}, 0, 1).videos;
    ASSERT_EQ(found.size(), 1U);
    EXPECT_TRUE(library.picture(found.front()) == readFile((defaultDataDir() / "stand-in.jpg").string()));
  }
  rusage children{};
  ::getrusage(RUSAGE_CHILDREN, &children);
  EXPECT_LT(children.ru_maxrss, 300 * 1024) << "kB at the peak of a worker (or of ffmpeg)";
  std::cout << "the largest child process peaked at " << children.ru_maxrss / 1024 << " MB\n";
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
