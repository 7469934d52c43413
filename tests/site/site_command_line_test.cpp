// klipfang-site's command line, and the test faults that answer only the program built with them,
// started with --fault-words, on this computer, for the built-in catalogue.
#include <gtest/gtest.h>

#include <regex>

#include "site/command_line/options.h"
#include "support/http_probe.h"
#include "support/programs.h"
#include "support/started_program.h"
#include "support/temp_dir.h"

namespace kf::site::test {
namespace {

std::optional<SiteOptions> parse(const std::vector<std::string> &arguments) {
  return parseSiteOptions(arguments, "/data");
}

TEST(SiteCommandLine, ReadsEverySwitchAndRefusesWhatMakesNoSense) {
  const auto defaults = parse({});
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->port, 8480);
  EXPECT_EQ(defaults->address, "127.0.0.1");
  EXPECT_EQ(defaults->dataDir, "/data");
  const auto all = parse({"--port", "0", "--listen", "0.0.0.0", "--log", "l", "--data", "d", "--library", "v",
                          "--database", "db", "--until-input-ends"});
  ASSERT_TRUE(all);
  EXPECT_EQ(all->port, 0);
  EXPECT_EQ(all->address, "0.0.0.0");
  EXPECT_EQ(all->libraryFolder, "v");
  EXPECT_EQ(all->database, "db");
  EXPECT_TRUE(all->untilInputEnds);
  EXPECT_FALSE(all->faultWords);
  for (const auto &wrong : std::vector<std::vector<std::string>>{
           {"--port", "65536"}, {"--port", ""}, {"--port", "8x"}, {"--port"}, {"--database", "db"}, {"--fehler"}}) {
    EXPECT_FALSE(parse(wrong)) << wrong.front();
  }
}

TEST(SiteCommandLine, TheTestFaultsStayOnThisComputerAndAwayFromTheUsersFolders) {
  for (const std::string address : {"127.0.0.1", "127.1.2.3", "localhost", "::1"}) {
    EXPECT_EQ(refusalOf(*parse({"--fault-words", "--listen", address})), "") << address;
  }
  for (const std::string address : {"0.0.0.0", "192.168.1.2", "::", "127.0.0", "127.0.0.1.5", "1127.0.0.1"}) {
    EXPECT_NE(refusalOf(*parse({"--fault-words", "--listen", address})).find("nur auf diesem Computer"),
              std::string::npos)
        << address;
  }
  EXPECT_NE(refusalOf(*parse({"--library", "v", "--fault-words"})).find("--library"), std::string::npos);
  EXPECT_EQ(refusalOf(*parse({"--library", "v", "--listen", "0.0.0.0"})), "");
}

TEST(SiteCommandLine, OnlyTheProgramBuiltWithTheFaultsAnswersTheirWordsAndOnlyWhenAskedTo) {
  const kf::test::TempDir dir;
  kf::test::StartedProgram installed(KF_SITE_PROGRAM, {"--fault-words", "--port", "0"}, dir.file("refused"));
  EXPECT_EQ(installed.exitStatus(), 2);
  EXPECT_NE(kf::test::readFile(dir.file("refused")).find("kennt keine Testfehler"), std::string::npos);

  const std::string error = "/results?search_query=katze%20fehler-500&search=Search";
  for (const bool asked : {false, true}) {
    const std::string output = dir.file(asked ? "asked" : "plain");
    std::vector<std::string> arguments = {"--port", "0"};
    if (asked) arguments.emplace_back("--fault-words");
    kf::test::StartedProgram site(KF_SITE_FAULTS_PROGRAM, arguments, output);
    std::smatch port;
    std::string said;
    ASSERT_TRUE(kf::test::eventually([&] {
      said = kf::test::readFile(output);
      return std::regex_search(said, port, std::regex("localhost:([0-9]+)/"));
    }));
    EXPECT_EQ(fetch(std::stoi(port[1]), "GET", error, "localhost").status, asked ? 500 : 200);
  }
}

}  // namespace
}  // namespace kf::site::test
