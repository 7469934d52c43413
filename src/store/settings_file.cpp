#include "store/settings_file.h"

#include <optional>
#include <vector>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/os/files.h"
#include "store/save_failure.h"
#include "store/whole_number.h"

namespace kf::store {
namespace {

constexpr const char *kFileName = "sets.cfg";
// Four short lines; a file beyond this is damaged, and is read no further than its sound length.
constexpr std::size_t kMostBytes = 4096;

// The text between the first and the second colon, or nothing when the line has no colon.
std::optional<std::string> valueOf(const std::string &line) {
  const auto fields = text::split(line, ':');
  if (fields.size() < 2) return std::nullopt;
  return fields[1];
}

std::optional<Settings> readSettings(const std::string &path, Settings settings) {
  files::LineReader reader(path, {.mostLines = 4, .mostBytes = kMostBytes});
  std::vector<std::string> values;
  for (int line = 0; line < 4; ++line) {
    auto value = valueOf(reader.readLine());
    if (!value) return std::nullopt;
    values.push_back(std::move(*value));
  }
  const auto respages = parseInt16(values[0]);
  if (!respages) return std::nullopt;
  settings.respages = *respages;
  // Only an exact "1" or "0" changes cleaning; any other text keeps what was in force before.
  if (values[1] == "1") {
    settings.cleartxt = true;
  } else if (values[1] == "0") {
    settings.cleartxt = false;
  }
  settings.preview = values[2] == "1";
  settings.infront = values[3] == "1";
  return settings;
}

}  // namespace

const std::string SettingsUnreadable::kCaption = text::cp1252(u8"Fehler ist aufgetreten!");

SettingsUnreadable::SettingsUnreadable()
    : Error(errors::kPathFileAccess,
            text::cp1252(u8"Klipfang Einstellungen konnten nicht geladen werden. Bitte informieren sie sich auf "
                         u8"unserer Homepage.")) {}

void LoadSettings(Settings &settings, const std::string &appDir) {
  std::optional<Settings> loaded;
  try {
    loaded = readSettings(files::join(appDir, kFileName), settings);
  } catch (const Error &) {
    // Missing, unreadable or too short: the same message as a damaged line.
  }
  if (!loaded) throw SettingsUnreadable();
  settings = *loaded;
}

void SaveSettings(const Settings &settings, const std::string &appDir) {
  const auto flag = [](const char *key, bool on) { return std::string(key) + (on ? ":1" : ":0"); };
  try {
    files::saveLinesAtomically(files::join(appDir, kFileName),
                               {"respages:" + std::to_string(settings.respages), flag("cleartxt", settings.cleartxt),
                                flag("preview", settings.preview), flag("infront", settings.infront)});
  } catch (const Error &error) {
    throw SaveFailed("Die Einstellungen", error);
  }
}

}  // namespace kf::store
