#include "windows/frm_vid.h"

namespace kf::windows {
namespace {

ui::WindowStyle videoStyle() {
  ui::WindowStyle style;
  style.sizable = false;
  style.toolWindow = true;
  style.icon = "klipfang.svg";
  return style;
}

}  // namespace

FrmVid::FrmVid(ui::Toolkit &toolkit, bool infront)
    : window(toolkit, "frmVid", "", 6960, 6105, videoStyle()),
      brw(window.add<ui::Browser>("brw", nullptr, {0, 0, 6960, 6105}, 0)) {
  window.onResize = [this] {
    brw.setLeft(0);
    brw.setTop(0);
    brw.setWidth(window.clientWidth());
    brw.setHeight(window.clientHeight());
  };
  // The page goes with the window: a video the user closed must not play on unseen, still sounding.
  window.onClose = [this] { brw.navigate(kNoPage); };
  window.onEscape = [this] { window.close(); };
  brw.setAccessibleName("Video");
  if (infront) window.setTopmost(true);
}

}  // namespace kf::windows
