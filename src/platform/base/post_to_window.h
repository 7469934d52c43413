#pragma once
// How work on another thread reports back to the window thread without knowing the window model: the
// transfers and listeners of the http and os rooms are handed this by their callers, who pass the
// toolkit's post (ui::Toolkit::poster()).
#include <functional>

namespace kf {

// Runs `task` on the window thread, later. Safe to call from any thread.
using PostToWindow = std::function<void(std::function<void()> task)>;

}  // namespace kf
