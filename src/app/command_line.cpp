#include "app/command_line.h"

#include <algorithm>

#include "platform/base/cp1252.h"

namespace kf::app {
namespace {

using text::cp1252;

constexpr std::string_view kSiteOption = "--site";
// An argument is quoted back to the user; a pasted page of text need not be.
constexpr std::size_t kMaxQuoted = 200;

std::string quoted(const std::string &arg) {
  std::string shown = text::fromUtf8(arg.substr(0, kMaxQuoted));
  std::replace_if(
      shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }, '?');
  if (arg.size() > kMaxQuoted) shown += "...";
  return "\"" + shown + "\"";
}

CommandLine refuse(std::string complaint, const net::SiteAddress &builtIn) {
  CommandLine line;
  line.action = CommandLine::Action::Refuse;
  line.complaint = std::move(complaint) + "\n\n" + usage(builtIn);
  return line;
}

}  // namespace

std::string usage(const net::SiteAddress &builtIn) {
  return cp1252(
             u8"Aufruf: klipfang [--site http://HOST[:PORT]]\n"
             u8"        klipfang --help\n\n"
             u8"  --site http://HOST[:PORT]  die Videoseite unter dieser Adresse statt unter ") +
         builtIn.root + cp1252(u8"\n  --help                     diese Hilfe\n");
}

CommandLine parseCommandLine(const std::vector<std::string> &args, const net::SiteAddress &builtIn) {
  if (std::any_of(args.begin(), args.end(), [](const std::string &arg) { return arg == "--help" || arg == "-h"; })) {
    return {CommandLine::Action::Help, {}, {}};
  }
  CommandLine line{CommandLine::Action::Run, builtIn, {}};
  bool siteGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string address;
    if (args[i] == kSiteOption) {
      if (i + 1 == args.size()) return refuse(cp1252(u8"Nach --site fehlt die Adresse der Videoseite."), builtIn);
      address = args[++i];
    } else if (args[i].starts_with(std::string(kSiteOption) + "=")) {
      address = args[i].substr(kSiteOption.size() + 1);
    } else {
      return refuse(cp1252(u8"Unbekanntes Argument: ") + quoted(args[i]), builtIn);
    }
    if (siteGiven) return refuse(cp1252(u8"--site ist mehr als einmal angegeben."), builtIn);
    const std::optional<net::SiteAddress> site = net::siteAddressFrom(address);
    if (!site) {
      return refuse(cp1252(u8"Keine gültige Adresse der Videoseite: ") + quoted(address) +
                        cp1252(u8"\nErwartet wird http://HOST oder http://HOST:PORT."),
                    builtIn);
    }
    line.site = *site;
    siteGiven = true;
  }
  return line;
}

}  // namespace kf::app
