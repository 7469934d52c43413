#pragma once
#include <string>

namespace kf::desktop {

// Shows a desktop notification through notify-send when it is on the PATH; otherwise nothing
// happens. Does not wait for it. Texts are UTF-8.
void notifyDesktop(const std::string &summary, const std::string &body);

}  // namespace kf::desktop
