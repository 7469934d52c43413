#include "app/main_controls.h"

#include "platform/base/cp1252.h"

namespace kf::app {
namespace {

using text::cp1252;

ui::WindowStyle mainStyle() {
  ui::WindowStyle style;
  style.icon = "klipfang.svg";
  return style;
}

template <class T>
T &withCaption(T &control, std::u8string_view caption) {
  control.setCaption(cp1252(caption));
  return control;
}

ui::Button &pictureButton(ui::Button &button, const char *picture, std::u8string_view toolTip = u8"") {
  button.setPicture(picture);
  if (!toolTip.empty()) button.setToolTip(cp1252(toolTip));
  return button;
}

ui::ListView &withColumns(ui::ListView &list, std::initializer_list<std::u8string_view> headers) {
  for (auto header : headers) list.addColumn(cp1252(header));
  return list;
}

template <class T>
T &hidden(T &control) {
  control.setVisible(false);
  return control;
}

ui::Font msSansSerif(float points, bool bold) {
  return ui::Font{"MS Sans Serif", points, bold};
}

}  // namespace

std::string mainWindowCaption() {
  return cp1252(u8"Klipfang – von den Klipfang-Machern");
}

// Geometry is left, top, width, height in twips; the last number is the tab position.
MainControls::MainControls(ui::Toolkit &toolkit)
    : window(toolkit, "frmMain", mainWindowCaption(), 10770, 8790, mainStyle()),
      fraPreview(withCaption(window.add<ui::Frame>("fraPreview", nullptr, {8160, 120, 2175, 1695}, 13), u8"Vorschau")),
      labInfo(hidden(withCaption(window.add<ui::Label>("labInfo", &fraPreview, {240, 960, 2055, 255}, 15), u8"0"))),
      labWait(hidden(
          withCaption(window.add<ui::Label>("labWait", &fraPreview, {240, 600, 1575, 255}, 14), u8"Bitte Warten"))),
      imgPrev(window.add<ui::ImageBox>("imgPrev", &fraPreview, {120, 240, 1935, 1335})),
      fraInfo(withCaption(window.add<ui::Frame>("fraInfo", nullptr, {120, 1200, 8055, 495}, 11), u8"Info")),
      labSel(window.add<ui::Label>("labSel", &fraInfo, {240, 180, 7815, 255}, 12)),
      fraResult(withCaption(window.add<ui::Frame>("fraResult", nullptr, {120, 1800, 10455, 6855}, 3),
                            u8"Ergebnisse der Suche:")),
      cmdFavs(pictureButton(window.add<ui::Button>("cmdFavs", &fraResult, {9600, 4440, 735, 735}, 28), "favourites.svg",
                            u8"Favoriten anzeigen")),
      lstFavs(hidden(withColumns(window.add<ui::ListView>("lstFavs", &fraResult, {-600, 1200, 9375, 5175}, 27),
                                 {u8"Nr", u8"Film", u8"ID", u8"gfx", u8"Titel", u8"Dauer"}))),
      img{{{"fav", "fav.svg"}}},
      fraCMD(hidden(window.add<ui::Frame>("fraCMD", &fraResult, {4080, 2160, 3015, 855}, 22))),
      cmdDelFav(pictureButton(window.add<ui::Button>("cmdDelFav", &fraCMD, {2280, 240, 615, 495}, 26), "unmark.svg",
                              u8"Als Favoriten entfernen.")),
      cmdMark(pictureButton(window.add<ui::Button>("cmdMark", &fraCMD, {1560, 240, 615, 495}, 25), "mark.svg",
                            u8"Diesen Link als Favorit markieren.")),
      cmdDll(pictureButton(window.add<ui::Button>("cmdDll", &fraCMD, {840, 240, 615, 495}, 24), "filelink.svg",
                           u8"Tatsächlichen Videolink in die Zwischenablage.")),
      cmdLink(pictureButton(window.add<ui::Button>("cmdLink", &fraCMD, {120, 240, 615, 495}, 23), "link.svg",
                            u8"Videolink in die Zwischenablage kopieren.")),
      brw(hidden(window.add<ui::Browser>("brw", &fraResult, {120, 480, 9375, 4935}, 21))),
      cmdToFav(
          pictureButton(window.add<ui::Button>("cmdToFav", &fraResult, {9600, 5280, 735, 735}, 20), "sitelogo.svg")),
      cmdInfo(pictureButton(window.add<ui::Button>("cmdInfo", &fraResult, {9600, 6120, 735, 735}, 19), "info.svg")),
      cmdWatch(pictureButton(window.add<ui::Button>("cmdWatch", &fraResult, {9600, 3600, 735, 735}, 18), "watch.svg",
                             u8"Ausgewähltes Video anschauen.")),
      cmdSets(pictureButton(window.add<ui::Button>("cmdSets", &fraResult, {9600, 2760, 735, 735}, 16), "settings.svg",
                            u8"Einstellungen öffnen.")),
      cmdDL(pictureButton(window.add<ui::Button>("cmdDL", &fraResult, {9600, 1920, 735, 735}, 10), "download.svg",
                          u8"Gewähltes Video herunterladen")),
      cmdResults(pictureButton(window.add<ui::Button>("cmdResults", &fraResult, {9600, 1080, 735, 735}, 9),
                               "results.svg", u8"Ergebnisse betrachten.")),
      lstFile(hidden(withColumns(window.add<ui::ListView>("lstFile", &fraResult, {120, 480, 9375, 4335}, 8),
                                 {u8"Nr.", u8"Zeile"}))),
      cmdFile(pictureButton(window.add<ui::Button>("cmdFile", &fraResult, {9600, 240, 735, 735}, 7), "file.svg",
                            u8"HTML der Suchdatei anschauen.")),
      prgDL(window.add<ui::ProgressBar>("prgDL", &fraResult, {120, 6480, 10215, 255}, 6)),
      lstResult(withColumns(window.add<ui::ListView>("lstResult", &fraResult, {120, 240, 9375, 4335}, 4),
                            {u8"Nr.", u8"Film", u8"ID", u8"Gfx", u8"Title", u8"Dauer"})),
      fraSearch(
          withCaption(window.add<ui::Frame>("fraSearch", nullptr, {120, 120, 8055, 975}, 0), u8"Suche nach Videos")),
      cmdAbortS(hidden(
          pictureButton(window.add<ui::Button>("cmdAbortS", &fraSearch, {7200, 120, 735, 735}, 17), "abort.svg"))),
      cmdSearch(pictureButton(window.add<ui::Button>("cmdSearch", &fraSearch, {7200, 120, 735, 735}, 5), "search.svg")),
      txtSearch(window.add<ui::TextBox>("txtSearch", &fraSearch, {1560, 360, 5535, 285}, 2)),
      labSearch(
          withCaption(window.add<ui::Label>("labSearch", &fraSearch, {120, 360, 1395, 240}, 1), u8"Suchen nach:")) {
  labInfo.setLook(ui::Align::Center, msSansSerif(8.25F, false));
  labWait.setLook(ui::Align::Center, msSansSerif(12, true));
  labSel.setLook(ui::Align::Center, msSansSerif(8.25F, true));
  labSearch.setLook(ui::Align::Left, msSansSerif(9.75F, true));
  lstResult.setImageList(&img);
  lstFavs.setImageList(&img);
}

}  // namespace kf::app
