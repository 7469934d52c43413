#include "support/search_window.h"

#include "windows/result_views.h"

namespace kf::test {

SearchWindow::SearchWindow()
    : window(tk, "frmMain", "Klipfang", 10770, 8790, {}),
      fraResult(window.add<ui::Frame>("fraResult", nullptr, {120, 1800, 10455, 6855}, 3)),
      lstFavs(window.add<ui::ListView>("lstFavs", &fraResult, {-600, 1200, 9375, 5175}, 27)),
      fraCMD(window.add<ui::Frame>("fraCMD", &fraResult, {4080, 2160, 3015, 855}, 22)),
      brw(window.add<ui::Browser>("brw", &fraResult, {120, 480, 9375, 4935}, 21)),
      cmdResults(window.add<ui::Button>("cmdResults", &fraResult, {9600, 1080, 735, 735}, 9)),
      lstFile(window.add<ui::ListView>("lstFile", &fraResult, {120, 480, 9375, 4335}, 8)),
      cmdFile(window.add<ui::Button>("cmdFile", &fraResult, {9600, 240, 735, 735}, 7)),
      prgDL(window.add<ui::ProgressBar>("prgDL", &fraResult, {120, 6480, 10215, 255}, 6)),
      lstResult(window.add<ui::ListView>("lstResult", &fraResult, {120, 240, 9375, 4335}, 4)),
      fraSearch(window.add<ui::Frame>("fraSearch", nullptr, {120, 120, 8055, 975}, 0)),
      cmdAbortS(window.add<ui::Button>("cmdAbortS", &fraSearch, {7200, 120, 735, 735}, 17)),
      cmdSearch(window.add<ui::Button>("cmdSearch", &fraSearch, {7200, 120, 735, 735}, 5)),
      txtSearch(window.add<ui::TextBox>("txtSearch", &fraSearch, {1560, 360, 5535, 285}, 2)),
      imgPrev(window.add<ui::ImageBox>("imgPrev", nullptr, {8280, 360, 1935, 1335})),
      labSel(window.add<ui::Label>("labSel", nullptr, {360, 1380, 7815, 255}, 12)) {
  for (ui::Control *hidden : std::initializer_list<ui::Control *>{&lstFavs, &fraCMD, &brw, &lstFile, &cmdAbortS}) {
    hidden->setVisible(false);
  }
  lstResult.setImageList(&img);
  lstFavs.setImageList(&img);
  windows::showSearchResults({results, lstResult}, favourites, img);
  windows::showVideos({favourites, lstFavs}, {});
  windows::showPageLines(pageLines, lstFile);
}

windows::SearchControls SearchWindow::controls() {
  return {txtSearch,
          cmdSearch,
          cmdAbortS,
          cmdResults,
          cmdFile,
          prgDL,
          {results, lstResult},
          {favourites, lstFavs},
          pageLines,
          lstFile,
          brw,
          fraCMD,
          labSel,
          imgPrev,
          img,
          history};
}

std::vector<std::string> SearchWindow::row(const ui::ListView &list, int number) {
  std::vector<std::string> texts{list.item(number).text};
  for (const auto &sub : list.item(number).subItems) texts.push_back(sub.text);
  return texts;
}

void SearchWindow::addFavourite(const std::string &id) {
  favourites.append({"Titel", id, "pic", "Film", "1:00"});
}

}  // namespace kf::test
