#include "windows/main_keys.h"

#include "windows/command_panel.h"
#include "windows/frm_main.h"

namespace kf::windows {
namespace {

using namespace ui::keys;

constexpr KeyHelp kKeys[] = {
    {u8"Eingabe", u8"im Suchfeld: die Wörter im Feld suchen"},
    {u8"Pfeil nach unten", u8"im Suchfeld: frühere Suchen anbieten"},
    {u8"Pfeile, Eingabe", u8"in den früheren Suchen: eine wählen und suchen"},
    {u8"Esc", u8"in den früheren Suchen: sie schließen"},
    {u8"Strg+F, F6", u8"zum Suchfeld"},
    {u8"Tab", u8"zum nächsten Feld; in einer Liste ist die Zeile gewählt"},
    {u8"Pfeile, Pos1, Ende", u8"in einer Liste: Zeile wählen"},
    {u8"Bild auf, Bild ab", u8"in einer Liste: Zeile wählen"},
    {u8"Eingabe", u8"in einer Liste: Video anschauen"},
    {u8"Strg+D", u8"Video als Favorit markieren"},
    {u8"Strg+Umschalt+D", u8"Video als Favoriten entfernen"},
    {u8"Entf", u8"in den Favoriten: Favoriten entfernen"},
    {u8"Strg+S", u8"Video herunterladen"},
    {u8"Strg+C", u8"in einer Liste: Videolink kopieren"},
    {u8"Strg+Umschalt+C", u8"in einer Liste: tatsächlichen Videolink kopieren"},
    {u8"Menütaste, Umschalt+F10", u8"in den Ergebnissen: Befehle zum Video"},
    {u8"Tab, Pfeile", u8"in den Befehlen: zum nächsten Befehl"},
    {u8"Eingabe, Leertaste", u8"auf einem Knopf: ihn drücken"},
    {u8"Esc", u8"Befehle schließen, sonst Suche abbrechen; Fenster schließen"},
    {u8"Leertaste", u8"im Videofenster: Video abspielen oder anhalten"},
    {u8"Pfeil links, rechts", u8"im Videofenster: 5 Sekunden zurück, vor"},
    {u8"Pfeil nach oben, unten", u8"im Videofenster: lauter, leiser"},
    {u8"M", u8"im Videofenster: Ton aus und wieder an"},
    {u8"F", u8"im Videofenster: Vollbild an und aus (Esc beendet es)"},
};

}  // namespace

std::span<const KeyHelp> keyHelp() {
  return kKeys;
}

// The commands work on the selected video of the list shown (the favourites, or else the results);
// the copies and Enter on the list they are pressed in.
void FrmMain::bindKeys() {
  ui::Window &window = controls.window;
  const auto toSearchBox = [this] {
    controls.window.setFocus(controls.txtSearch);
    controls.txtSearch.selectAll();
  };
  window.bindKey('F', kCtrl, toSearchBox);
  window.bindKey(kF6, 0, toSearchBox);
  window.bindKey('D', kCtrl, returningKeyboard(controls, [this] { favourites_.markShown(); }));
  window.bindKey('D', kCtrl | kShift, returningKeyboard(controls, [this] { favourites_.unmarkShown(); }));
  window.bindKey('S', kCtrl, [this] { addresses_.cmdDL_Click(); });
  for (const VideoView *view : {&resultsView_, &favouritesView_}) {
    const auto watchIt = [this, view] { watch_.watch(*view); };
    const auto copyPage = [this, view] { addresses_.copyPageAddress(*view); };
    const auto copyFile = [this, view] { addresses_.copyFileAddress(*view); };
    window.bindKey(kEnter, 0, watchIt, &view->list);
    window.bindKey('C', kCtrl, copyPage, &view->list);
    window.bindKey('C', kCtrl | kShift, copyFile, &view->list);
  }
  const auto openPanel = [this] { openPanelFromKeyboard(controls); };
  window.bindKey(kMenu, 0, openPanel, &controls.lstResult);
  window.bindKey(kF10, kShift, openPanel, &controls.lstResult);
  // Esc also reaches the control with the keyboard.
  window.onEscape = [this] {
    if (!closePanel(controls) && search_.running()) search_.abort();
  };
}

}  // namespace kf::windows
