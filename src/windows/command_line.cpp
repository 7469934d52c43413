#include "windows/command_line.h"

#include <algorithm>
#include <optional>

#include "platform/base/cp1252.h"

namespace kf::windows {
namespace {

using text::cp1252;

constexpr std::string_view kSiteOption = "--site";
// The launcher's: it starts a site on the folder and the program against it, so the program sees it
// only beside other arguments, or when started without the launcher.
constexpr std::string_view kLibraryOption = "--library";
// How the launcher tells a user who has no terminal why it starts no program: only as the whole
// command line, with the reason in German.
constexpr std::string_view kLauncherErrorOption = "--launcher-error";
// An argument is quoted back to the user; a pasted page of text need not be.
constexpr std::size_t kMaxQuoted = 200;
constexpr std::size_t kMaxLauncherError = 2000;

// At most `most` bytes of `utf8`, its control characters shown as '?' (line breaks too, unless kept).
std::string shown(std::string_view utf8, std::size_t most, bool keepLineBreaks) {
  std::string text = text::fromUtf8(utf8.substr(0, most));
  std::replace_if(
      text.begin(), text.end(),
      [keepLineBreaks](char c) { return static_cast<unsigned char>(c) < 32 && !(keepLineBreaks && c == '\n'); }, '?');
  if (utf8.size() > most) text += "...";
  return text;
}

std::string quoted(const std::string &arg) {
  return "\"" + shown(arg, kMaxQuoted, false) + "\"";
}

CommandLine refuse(std::string complaint, const net::SiteAddress &builtIn) {
  CommandLine line;
  line.action = CommandLine::Action::Refuse;
  line.complaint = std::move(complaint) + "\n\n" + usage(builtIn);
  return line;
}

struct Option {
  std::string_view name;
  std::u8string_view withoutValue;
  std::optional<std::string> value;
};

}  // namespace

std::string usage(const net::SiteAddress &builtIn) {
  return cp1252(
             u8"Aufruf: klipfang [--site http://HOST[:PORT][/SCHLÜSSEL]]\n"
             u8"        klipfang --library ORDNER\n"
             u8"        klipfang --help\n\n"
             u8"  --site http://HOST[:PORT][/SCHLÜSSEL]\n"
             u8"                             die Videoseite unter dieser Adresse statt unter ") +
         builtIn.root +
         cp1252(
             u8"\n  --library ORDNER           die eigenen Videos unter ORDNER, auf einer Videoseite nur für Sie\n"
             u8"  --help                     diese Hilfe\n");
}

CommandLine parseCommandLine(const std::vector<std::string> &args, const net::SiteAddress &builtIn) {
  if (args.size() == 2 && args[0] == kLauncherErrorOption) {
    return {CommandLine::Action::Refuse, {}, shown(args[1], kMaxLauncherError, true)};
  }
  if (std::any_of(args.begin(), args.end(), [](const std::string &arg) { return arg == "--help" || arg == "-h"; })) {
    return {CommandLine::Action::Help, {}, {}};
  }
  CommandLine line{CommandLine::Action::Run, builtIn, {}};
  Option site{kSiteOption, u8"Nach --site fehlt die Adresse der Videoseite.", {}};
  Option library{kLibraryOption, u8"Nach --library fehlt der Ordner.", {}};
  for (std::size_t i = 0; i < args.size(); ++i) {
    Option *given = nullptr;
    std::string value;
    for (Option *option : {&site, &library}) {
      if (args[i] == option->name) {
        value = i + 1 < args.size() ? args[++i] : std::string();
      } else if (args[i].starts_with(std::string(option->name) + "=")) {
        value = args[i].substr(option->name.size() + 1);
      } else {
        continue;
      }
      given = option;
      break;
    }
    if (!given) return refuse(cp1252(u8"Unbekanntes Argument: ") + quoted(args[i]), builtIn);
    if (value.empty()) return refuse(cp1252(given->withoutValue), builtIn);
    if (given->value) return refuse(std::string(given->name) + cp1252(u8" ist mehr als einmal angegeben."), builtIn);
    given->value = value;
    if (given != &site) continue;
    const std::optional<net::SiteAddress> address = net::siteAddressFrom(value);
    if (!address) {
      return refuse(cp1252(u8"Keine gültige Adresse der Videoseite: ") + quoted(value) +
                        cp1252(u8"\nErwartet wird http://HOST oder http://HOST:PORT, für die eigenen Videos "
                               u8"eines anderen Computers mit dem Schlüssel: http://HOST:PORT/SCHLÜSSEL."),
                    builtIn);
    }
    line.site = *address;
  }
  if (library.value && site.value) {
    return refuse(cp1252(u8"--library und --site gehen nicht zusammen: Mit --library zeigt Klipfang die Videos "
                         u8"eines Ordners auf einer Videoseite, die es dafür selbst startet."),
                  builtIn);
  }
  if (library.value) {
    return refuse(cp1252(u8"--library versteht nur der Befehl klipfang, den die Installation anlegt: Er startet "
                         u8"die Videoseite für den Ordner und dann Klipfang. Von Hand: klipfang-site --library "
                         u8"ORDNER starten und Klipfang mit --site http://127.0.0.1:8480."),
                  builtIn);
  }
  return line;
}

}  // namespace kf::windows
