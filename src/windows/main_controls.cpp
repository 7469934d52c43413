#include "windows/main_controls.h"

#include "platform/base/cp1252.h"
#include "windows/main_layout.h"

namespace kf::windows {
namespace {

using text::cp1252;

ui::WindowStyle mainStyle() {
  ui::WindowStyle style;
  style.icon = "klipfang.svg";
  style.smallestClientWidth = kSmallestMainWidth;
  style.smallestClientHeight = kSmallestMainHeight;
  return style;
}

template <class T>
T &withCaption(T &control, std::u8string_view caption) {
  control.setCaption(cp1252(caption));
  return control;
}

// A picture button is called by its tooltip's words, without the full stop; the tooltip names the
// command's key where it has one.
ui::Button &pictureButton(ui::Button &button, const char *picture, std::u8string_view toolTip,
                          std::u8string_view key = u8"") {
  button.setPicture(picture);
  std::u8string_view words = toolTip;
  if (words.ends_with(u8'.')) words.remove_suffix(1);
  button.setAccessibleName(cp1252(words));
  button.setToolTip(key.empty() ? cp1252(toolTip) : cp1252(words) + " (" + cp1252(key) + ")");
  return button;
}

template <class T>
T &named(T &control, std::u8string_view name) {
  control.setAccessibleName(cp1252(name));
  return control;
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

// Geometry is left, top, width, height in twips; the last number is the tab position, which follows
// the eye: the search box and its button, the list shown with the panel over it, the right column
// from top to bottom.
MainControls::MainControls(ui::Toolkit &toolkit)
    : window(toolkit, "frmMain", mainWindowCaption(), 10770, 8790, mainStyle()),
      // One pixel lower than it was drawn once, so that it no longer reaches into the results frame.
      fraPreview(withCaption(window.add<ui::Frame>("fraPreview", nullptr, {8160, 120, 2175, 1680}, 24), u8"Vorschau")),
      labInfo(hidden(withCaption(window.add<ui::Label>("labInfo", &fraPreview, {240, 960, 2055, 255}, 26), u8"0"))),
      labWait(hidden(
          withCaption(window.add<ui::Label>("labWait", &fraPreview, {240, 600, 1575, 255}, 25), u8"Bitte Warten"))),
      imgPrev(named(window.add<ui::ImageBox>("imgPrev", &fraPreview, {120, 240, 1935, 1335}), u8"Vorschaubild")),
      fraInfo(withCaption(window.add<ui::Frame>("fraInfo", nullptr, {120, 1200, 8055, 495}, 22), u8"Info")),
      labSel(window.add<ui::Label>("labSel", &fraInfo, {240, 180, 7815, 255}, 23)),
      fraResult(withCaption(window.add<ui::Frame>("fraResult", nullptr, {120, 1800, 10455, 6855}, 27),
                            u8"Ergebnisse der Suche:")),
      cmdFavs(pictureButton(window.add<ui::Button>("cmdFavs", &fraResult, {9600, 4440, 735, 735}, 18), "favourites.svg",
                            u8"Favoriten anzeigen")),
      lstFavs(named(hidden(withColumns(window.add<ui::ListView>("lstFavs", &fraResult, {-600, 1200, 9375, 5175}, 6),
                                       {u8"Nr", u8"Film", u8"ID", u8"gfx", u8"Titel", u8"Dauer"})),
                    u8"Favoriten")),
      img{{{"fav", "fav.svg", "Favorit"}}},
      fraCMD(named(hidden(window.add<ui::Frame>("fraCMD", &fraResult, {4080, 2160, 3015, 855}, 28)),
                   u8"Befehle zum ausgewählten Video")),
      cmdDelFav(pictureButton(window.add<ui::Button>("cmdDelFav", &fraCMD, {2280, 240, 615, 495}, 12), "unmark.svg",
                              u8"Als Favoriten entfernen.", u8"Strg+Umschalt+D")),
      cmdMark(pictureButton(window.add<ui::Button>("cmdMark", &fraCMD, {1560, 240, 615, 495}, 11), "mark.svg",
                            u8"Diesen Link als Favorit markieren.", u8"Strg+D")),
      cmdDll(pictureButton(window.add<ui::Button>("cmdDll", &fraCMD, {840, 240, 615, 495}, 10), "filelink.svg",
                           u8"Tatsächlichen Videolink in die Zwischenablage.", u8"Strg+Umschalt+C")),
      cmdLink(pictureButton(window.add<ui::Button>("cmdLink", &fraCMD, {120, 240, 615, 495}, 9), "link.svg",
                            u8"Videolink in die Zwischenablage kopieren.", u8"Strg+C")),
      brw(named(hidden(window.add<ui::Browser>("brw", &fraResult, {120, 480, 9375, 4935}, 8)),
                u8"Startseite der Videoseite")),
      cmdToFav(pictureButton(window.add<ui::Button>("cmdToFav", &fraResult, {9600, 5280, 735, 735}, 19), "sitelogo.svg",
                             u8"Startseite der Videoseite")),
      cmdInfo(pictureButton(window.add<ui::Button>("cmdInfo", &fraResult, {9600, 6120, 735, 735}, 20), "info.svg",
                            u8"Über Klipfang")),
      cmdWatch(pictureButton(window.add<ui::Button>("cmdWatch", &fraResult, {9600, 3600, 735, 735}, 17), "watch.svg",
                             u8"Ausgewähltes Video anschauen.", u8"Eingabe")),
      cmdSets(pictureButton(window.add<ui::Button>("cmdSets", &fraResult, {9600, 2760, 735, 735}, 16), "settings.svg",
                            u8"Einstellungen öffnen.")),
      cmdDL(pictureButton(window.add<ui::Button>("cmdDL", &fraResult, {9600, 1920, 735, 735}, 15), "download.svg",
                          u8"Gewähltes Video herunterladen", u8"Strg+S")),
      cmdResults(pictureButton(window.add<ui::Button>("cmdResults", &fraResult, {9600, 1080, 735, 735}, 14),
                               "results.svg", u8"Ergebnisse betrachten.")),
      lstFile(named(hidden(withColumns(window.add<ui::ListView>("lstFile", &fraResult, {120, 480, 9375, 4335}, 7),
                                       {u8"Nr.", u8"Zeile"})),
                    u8"Zeilen der Suchdatei")),
      cmdFile(pictureButton(window.add<ui::Button>("cmdFile", &fraResult, {9600, 240, 735, 735}, 13), "file.svg",
                            u8"HTML der Suchdatei anschauen.")),
      prgDL(named(window.add<ui::ProgressBar>("prgDL", &fraResult, {120, 6480, 10215, 255}, 21),
                  u8"Fortschritt der Suche")),
      lstResult(named(withColumns(window.add<ui::ListView>("lstResult", &fraResult, {120, 240, 9375, 4335}, 5),
                                  {u8"Nr.", u8"Film", u8"ID", u8"Gfx", u8"Title", u8"Dauer"}),
                      u8"Ergebnisse der Suche")),
      fraSearch(
          withCaption(window.add<ui::Frame>("fraSearch", nullptr, {120, 120, 8055, 975}, 0), u8"Suche nach Videos")),
      cmdAbortS(hidden(pictureButton(window.add<ui::Button>("cmdAbortS", &fraSearch, {7200, 120, 735, 735}, 4),
                                     "abort.svg", u8"Suche abbrechen", u8"Esc"))),
      cmdSearch(pictureButton(window.add<ui::Button>("cmdSearch", &fraSearch, {7200, 120, 735, 735}, 3), "search.svg",
                              u8"Suchen", u8"Eingabe")),
      txtSearch(named(window.add<ui::TextBox>("txtSearch", &fraSearch, {1560, 360, 5535, 285}, 2), u8"Suchen nach")),
      labSearch(
          withCaption(window.add<ui::Label>("labSearch", &fraSearch, {120, 360, 1395, 240}, 1), u8"Suchen nach:")) {
  txtSearch.setToolTip(cp1252(u8"Suchwörter (Strg+F, F6); frühere Suchen mit Pfeil nach unten"));
  labInfo.setLook(ui::Align::Center, msSansSerif(8.25F, false));
  labWait.setLook(ui::Align::Center, msSansSerif(12, true));
  labSel.setLook(ui::Align::Center, msSansSerif(8.25F, true));
  labSearch.setLook(ui::Align::Left, msSansSerif(9.75F, true));
  lstResult.setImageList(&img);
  lstFavs.setImageList(&img);
}

}  // namespace kf::windows
