#include "platform/ui/controls.h"

#include "platform/base/cp1252.h"
#include "platform/base/error.h"
#include "platform/base/picture.h"

namespace kf::ui {
namespace {

[[noreturn]] void badIndex() {
  throw Error(35600, text::cp1252(u8"Index außerhalb des gültigen Bereichs"));
}

}  // namespace

Control::Control(Kind kind, std::string name, Control *container, Geometry geometry, int tabIndex)
    : kind_(kind), name_(std::move(name)), container_(container), geometry_(geometry), tabIndex_(tabIndex) {}

bool Control::takesFocus() const {
  switch (kind_) {
    case Kind::TextBox:
    case Kind::Button:
    case Kind::ListView:
    case Kind::CheckBox:
    case Kind::OptionButton:
    case Kind::ComboBox:
      return tabIndex_ >= 0;
    case Kind::Label:
      return tabIndex_ >= 0 && static_cast<const Label *>(this)->link();
    default:
      return false;
  }
}

bool Control::setLeft(float value) {
  geometry_.left = value;
  notify(Aspect::Geometry);
  return true;
}

bool Control::setTop(float value) {
  geometry_.top = value;
  notify(Aspect::Geometry);
  return true;
}

bool Control::setWidth(float value) {
  if (value < 0) return false;
  geometry_.width = value;
  notify(Aspect::Geometry);
  return true;
}

bool Control::setHeight(float value) {
  if (value < 0) return false;
  geometry_.height = value;
  notify(Aspect::Geometry);
  return true;
}

void Control::setVisible(bool value) {
  visible_ = value;
  notify(Aspect::Visible);
}

void Control::setToolTip(std::string value) {
  toolTip_ = std::move(value);
  notify(Aspect::ToolTip);
}

void Control::setAccessibleName(std::string value) {
  accessibleName_ = std::move(value);
  notify(Aspect::Name);
}

void Control::notify(Aspect aspect, int index) {
  if (peer_) peer_->changed(aspect, index);
}

void Frame::setCaption(std::string value) {
  caption_ = std::move(value);
  notify(Aspect::Text);
}

void Frame::setPlain(bool value) {
  plain_ = value;
  notify(Aspect::Look);
}

void Label::setCaption(std::string value) {
  caption_ = std::move(value);
  notify(Aspect::Text);
}

void Label::setLook(Align align, Font font, std::uint32_t foreColor) {
  align_ = align;
  font_ = std::move(font);
  foreColor_ = foreColor;
  notify(Aspect::Look);
}

void Label::setLink(bool value) {
  link_ = value;
  notify(Aspect::Look);
}

void Label::setLabelFor(Control *control) {
  labelFor_ = control;
  notify(Aspect::Look);
}

void Label::click() {
  if (onClick) onClick();
}

void ImageBox::loadPicture(const std::string &path) {
  const std::string bytes = picture::readPictureFile(path);
  if (!picture::looksLikePicture(bytes) || (peer() && !peer()->acceptsPicture(path))) {
    throw Error(errors::kInvalidPicture, text::cp1252(u8"Ungültiges Bild"));
  }
  picture_ = path;
  notify(Aspect::Picture);
}

void ImageBox::clearPicture() {
  picture_.clear();
  notify(Aspect::Picture);
}

void ImageBox::setAsset(std::string assetName) {
  picture_ = std::move(assetName);
  notify(Aspect::Picture);
}

void Button::setPicture(std::string assetName) {
  picture_ = std::move(assetName);
  notify(Aspect::Picture);
}

void Button::setCaption(std::string value) {
  caption_ = std::move(value);
  notify(Aspect::Text);
}

void Button::click() {
  if (onClick) onClick();
}

void TextBox::setText(std::string value) {
  text_ = std::move(value);
  allSelected_ = false;
  notify(Aspect::Text);
}

void TextBox::typed(std::string value) {
  text_ = std::move(value);
  allSelected_ = false;
}

void TextBox::selectAll() {
  allSelected_ = true;
  notify(Aspect::Selection);
}

void TextBox::setSuggestions(std::vector<std::string> value) {
  suggestions_ = std::move(value);
  notify(Aspect::Items);
}

void TextBox::keyDown(int keyCode, int shift) {
  if (onKeyDown) onKeyDown(keyCode, shift);
}

int ImageList::indexOf(const std::string &key) const {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].key == key) return static_cast<int>(i) + 1;
  }
  return 0;
}

void ListView::addColumn(std::string header) {
  columns_.push_back({std::move(header)});
  notify(Aspect::Columns);
}

const std::string &ListView::columnHeader(int column) const {
  if (column < 1 || column > columnCount()) badIndex();
  return columns_[static_cast<std::size_t>(column - 1)].header;
}

float ListView::columnWidth(int column) const {
  if (column < 1 || column > columnCount()) badIndex();
  return columns_[static_cast<std::size_t>(column - 1)].width;
}

bool ListView::setColumnWidth(int column, float width) {
  if (column < 1 || column > columnCount()) badIndex();
  if (width < 0) return false;
  columns_[static_cast<std::size_t>(column - 1)].width = width;
  notify(Aspect::Columns);
  return true;
}

ListItem &ListView::itemAt(int row) {
  if (row < 1 || row > count()) badIndex();
  return items_[static_cast<std::size_t>(row - 1)];
}

const ListItem &ListView::item(int row) const {
  return const_cast<ListView *>(this)->itemAt(row);
}

ListSubItem &ListView::subItemAt(int row, int subItem) {
  auto &subs = itemAt(row).subItems;
  if (subItem < 1 || subItem > static_cast<int>(subs.size())) badIndex();
  return subs[static_cast<std::size_t>(subItem - 1)];
}

int ListView::addItem(std::string text) {
  items_.push_back({std::move(text), {}, 0});
  notify(Aspect::ItemAdded, count());
  return count();
}

void ListView::addSubItem(int row, std::string text) {
  itemAt(row).subItems.push_back({std::move(text)});
  notify(Aspect::ItemChanged, row);
}

const std::string &ListView::subItemText(int row, int subItem) const {
  return const_cast<ListView *>(this)->subItemAt(row, subItem).text;
}

void ListView::setSubItemLook(int row, int subItem, bool bold, std::uint32_t foreColor) {
  auto &sub = subItemAt(row, subItem);
  sub.bold = bold;
  sub.foreColor = foreColor;
  notify(Aspect::ItemChanged, row);
}

void ListView::setSmallIcon(int row, int icon) {
  itemAt(row).smallIcon = icon;
  notify(Aspect::ItemChanged, row);
}

void ListView::removeItem(int row) {
  itemAt(row);
  items_.erase(items_.begin() + (row - 1));
  if (selected_ == row) {
    selected_ = 0;
  } else if (selected_ > row) {
    --selected_;
  }
  notify(Aspect::ItemRemoved, row);
}

void ListView::clear() {
  items_.clear();
  selected_ = 0;
  notify(Aspect::Items);
}

void ListView::select(int row) {
  if (row != 0) itemAt(row);
  selected_ = row;
  notify(Aspect::Selection, row);
}

void ListView::clickItem(int row) {
  select(row);
  if (onItemClick) onItemClick(row);
}

void ListView::doubleClick() {
  if (onDblClick) onDblClick();
}

void ListView::keyDown(int keyCode, int shift) {
  if (onKeyDown) onKeyDown(keyCode, shift);
}

void ListView::mouseUp(int button, int shift, float x, float y) {
  if (onMouseUp) onMouseUp(button, shift, x, y);
}

bool ProgressBar::setMax(int value) {
  if (value <= min_) return false;
  max_ = value;
  if (value_ > max_) value_ = max_;
  notify(Aspect::Value);
  return true;
}

bool ProgressBar::setValue(int value) {
  if (value < min_ || value > max_) return false;
  value_ = value;
  notify(Aspect::Value);
  return true;
}

void ProgressBar::setBusy(bool value) {
  busy_ = value;
  notify(Aspect::Value);
}

void ScrollPane::setContentHeight(float value) {
  contentHeight_ = value < 0 ? 0 : value;
  notify(Aspect::Geometry);
}

void ScrollPane::scrollIntoView(float top, float height) {
  shownStrip_ = {0, top, width(), height};
  notify(Aspect::Scroll);
}

void Browser::navigate(std::string address) {
  location_ = std::move(address);
  notify(Aspect::Location);
}

void Browser::download(const std::string &address) {
  if (onDownload) onDownload(address);
}

void CheckBox::setCaption(std::string value) {
  caption_ = std::move(value);
  notify(Aspect::Text);
}

void CheckBox::setValue(State value) {
  value_ = value;
  notify(Aspect::Value);
}

void OptionButton::setCaption(std::string value) {
  caption_ = std::move(value);
  notify(Aspect::Text);
}

void OptionButton::setValue(bool value) {
  if (value) {
    for (auto *other : group_) {
      if (other != this && other->value_) {
        other->value_ = false;
        other->notify(Aspect::Value);
      }
    }
  }
  value_ = value;
  notify(Aspect::Value);
}

void ComboBox::addItem(std::string text) {
  items_.push_back(std::move(text));
  notify(Aspect::Items);
}

void ComboBox::setListIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) badIndex();
  listIndex_ = index;
  notify(Aspect::Value);
}

std::string ComboBox::text() const {
  return listIndex_ < 0 ? std::string() : items_[static_cast<std::size_t>(listIndex_)];
}

void ComboBox::setText(const std::string &value) {
  int found = -1;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == value) {
      found = static_cast<int>(i);
      break;
    }
  }
  setListIndex(found);
}

}  // namespace kf::ui
