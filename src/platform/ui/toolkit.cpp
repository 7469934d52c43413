#include "platform/ui/toolkit.h"

#include <cassert>
#include <new>

#include "platform/base/cp1252.h"
#include "platform/base/error.h"

namespace kf::ui {
namespace {
Toolkit *current = nullptr;

std::string reasonOf(const std::exception_ptr &failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const Error &error) {
    return error.description();
  } catch (const std::bad_alloc &) {
    return text::cp1252(u8"Der Arbeitsspeicher reicht nicht aus.");
  } catch (const std::exception &error) {
    return text::fromUtf8(error.what());
  } catch (...) {
    return text::cp1252(u8"Unbekannter Fehler.");
  }
}

}  // namespace

void OpenQuestion::setText(std::string value) {
  text_ = std::move(value);
  if (onChange) onChange();
}

void OpenQuestion::withdraw() {
  withdrawn_ = true;
  if (onChange) onChange();
}

bool Toolkit::askYesNo(const std::string &question, const std::string &title) {
  OpenQuestion open(question);
  return askYesNo(open, title);
}

Toolkit &toolkit() {
  assert(current && "setToolkit() must run before the first window is made");
  return *current;
}

void setToolkit(Toolkit &toolkit) {
  current = &toolkit;
}

void tellUncaughtFailure(Toolkit &toolkit, const std::exception_ptr &failure) {
  try {
    toolkit.messageBox(text::cp1252(u8"Ein unerwarteter Fehler ist aufgetreten:\n\n") + reasonOf(failure) +
                           text::cp1252(u8"\n\nKlipfang arbeitet weiter; die angefangene Aktion wurde abgebrochen."),
                       "Klipfang", MessageIcon::Critical);
  } catch (...) {
    // Not even the box could be shown (no memory left for it): going on quietly is still better
    // than ending with the user's unsaved work.
  }
}

}  // namespace kf::ui
