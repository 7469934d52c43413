// What the program makes of its command line: the built-in site, another site named with --site,
// the usage, and every other line refused with a German complaint before the program starts.
#include "windows/command_line.h"

#include <gtest/gtest.h>

#include "platform/base/cp1252.h"

namespace kf::windows {
namespace {

const net::SiteAddress kBuiltIn{"http://www.localhost:8480", "http://localhost:8480"};

CommandLine parse(const std::vector<std::string> &args) {
  return parseCommandLine(args, kBuiltIn);
}

TEST(CommandLineTest, NoArgumentsMeanTheBuiltInSiteAndSiteNamesAnother) {
  const CommandLine none = parse({});
  EXPECT_EQ(none.action, CommandLine::Action::Run);
  EXPECT_EQ(none.site.root, kBuiltIn.root);
  EXPECT_EQ(none.site.rootBare, kBuiltIn.rootBare);

  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--site", "http://videos.lan:8080"}, "http://videos.lan:8080"},
      {{"--site=http://videos.lan"}, "http://videos.lan"},
      {{"--site", "HTTP://192.168.1.20:80/"}, "http://192.168.1.20:80"},
      {{"--site", "http://[::1]:9000"}, "http://[::1]:9000"},
      {{"--site", "http://[fe80::a:1]/"}, "http://[fe80::a:1]"},
      {{"--site", "http://[::ffff:10.0.0.255]:81"}, "http://[::ffff:10.0.0.255]:81"},
      {{"--site", "http://10.0.0.255"}, "http://10.0.0.255"},
      {{"--site", "http://nas-2.a1"}, "http://nas-2.a1"},
      {{"--site", "http://a-b.example:00443"}, "http://a-b.example:443"},
      {{"--site", "http://videos.lan/x"}, "http://videos.lan/x"},
      {{"--site", "http://192.168.1.20:8480/0f3a9c-._~/"}, "http://192.168.1.20:8480/0f3a9c-._~"},
      {{"--site", "http://[::1]:9000/a/b"}, "http://[::1]:9000/a/b"},
  };
  for (const auto &[args, root] : cases) {
    SCOPED_TRACE(args.back());
    const CommandLine line = parse(args);
    ASSERT_EQ(line.action, CommandLine::Action::Run) << line.complaint;
    EXPECT_EQ(line.site.root, root);
    EXPECT_EQ(line.site.rootBare, root) << "no www. form for a host of a local network";
  }
}

TEST(CommandLineTest, HelpAnywhereAsksForTheGermanUsage) {
  EXPECT_EQ(parse({"--help"}).action, CommandLine::Action::Help);
  EXPECT_EQ(parse({"--site", "ftp://x", "-h"}).action, CommandLine::Action::Help);
  const std::string text = usage(kBuiltIn);
  EXPECT_EQ(text.rfind(text::cp1252(u8"Aufruf: klipfang [--site http://HOST[:PORT][/SCHLÜSSEL]]\n"), 0), 0U);
  EXPECT_NE(text.find(kBuiltIn.root), std::string::npos);
}

TEST(CommandLineTest, BadAddressesOtherSchemesAndExtraArgumentsAreRefused) {
  const std::vector<std::string> badAddresses = {
      "ftp://videos.lan",
      "https://videos.lan",
      "videos.lan:8080",
      "http://",
      "http://videos.lan//",
      "http://videos.lan/a//b",
      "http://videos.lan/key/../x",
      "http://videos.lan/a%20b",
      "http://videos.lan/a?b",
      "http://videos.lan/a#b",
      "http://videos.lan/" + std::string(201, 'a'),
      "http:///key",
      "http://user@videos.lan",
      "http://videos.lan:0",
      "http://videos.lan:65536",
      "http://videos.lan:80a",
      "http://-videos.lan",
      "http://videos..lan",
      "http://videos.lan:",
      "http://::1",
      "http://vid eos.lan",
      "http://videos.lan?q=1",
      "http://" + std::string(300, 'a'),
      // An address literal that the system does not read as one, and a name it would read as an
      // address in an old form.
      "http://[:.]",
      "http://[" + std::string(5000, ':') + "]",
      "http://[]",
      "http://[::1",
      "http://[1::2::3]:80",
      "http://[::1%eth0]",
      "http://999.1.1.1",
      "http://1.2.3.04",
      "http://127.1",
      "http://0x7f.0.0.1",
      "http://videos.0x1f",
  };
  for (const std::string &address : badAddresses) {
    SCOPED_TRACE(address);
    const CommandLine line = parse({"--site", address});
    ASSERT_EQ(line.action, CommandLine::Action::Refuse);
    EXPECT_EQ(line.complaint.rfind(text::cp1252(u8"Keine gültige Adresse der Videoseite: \""), 0), 0U);
    EXPECT_NE(line.complaint.find(usage(kBuiltIn)), std::string::npos) << "the usage follows the complaint";
  }

  const std::pair<std::vector<std::string>, std::string> others[] = {
      {{"--site"}, "Nach --site fehlt die Adresse der Videoseite."},
      {{"videos.lan"}, "Unbekanntes Argument: \"videos.lan\""},
      {{"--site", "http://a", "--site", "http://b"}, "--site ist mehr als einmal angegeben."},
      {{"--site", "http://a", "extra"}, "Unbekanntes Argument: \"extra\""},
      {{"-platform"}, "Unbekanntes Argument: \"-platform\""},
      {{"b\xC3\xA4r\n"}, "Unbekanntes Argument: \"b\xE4r?\""},
      {{"--library="}, "Nach --library fehlt der Ordner."},
      {{"--library", "/v", "--site", "http://a"}, "--library und --site gehen nicht zusammen"},
      {{"--library", "/v"}, "--library versteht nur der Befehl klipfang, den die Installation anlegt"},
  };
  for (const auto &[args, complaint] : others) {
    SCOPED_TRACE(args.front());
    const CommandLine line = parse(args);
    ASSERT_EQ(line.action, CommandLine::Action::Refuse);
    EXPECT_EQ(line.complaint.substr(0, complaint.size()), complaint);
  }
  EXPECT_LT(parse({std::string(5000, 'x')}).complaint.size(), 1000U) << "a long argument is cut short";

  // The launcher's reason for starting no program, as it gives it: no usage below.
  const CommandLine told =
      parse({"--launcher-error", "Den Ordner \xE2\x80\x9E\x1B[2J\xE2\x80\x9C gibt es nicht.\nMehr"});
  EXPECT_EQ(told.action, CommandLine::Action::Refuse);
  EXPECT_EQ(told.complaint, "Den Ordner \x84?[2J\x93 gibt es nicht.\nMehr");
}

}  // namespace
}  // namespace kf::windows
