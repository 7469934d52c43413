#include "platform/qt/question_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/convert.h"

namespace kf::qtui {

bool askYesNo(const std::string &question, const std::string &title) {
  QMessageBox box(QMessageBox::Question, toQString(title), toQString(question));
  // The question can name files from the network: shown as it is, never as markup.
  box.setTextFormat(Qt::PlainText);
  // The buttons' own captions: Qt's standard ones follow a translation the program does not load.
  QPushButton *yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
  QPushButton *no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

}  // namespace kf::qtui
