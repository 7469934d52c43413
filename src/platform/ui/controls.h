#pragma once
// The controls of the program's windows, held in memory. The logic reads and changes them; a toolkit
// (Qt for the desktop, nothing for tests) mirrors them on screen through a ControlPeer. Every event a
// user can cause has a method that fires it, so handlers run the same way from a test as from a click.
// Geometry is in twips; texts are Windows-1252.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kf::ui {

enum class Kind {
  Frame,
  Label,
  ImageBox,
  TextBox,
  Button,
  ListView,
  ProgressBar,
  Browser,
  CheckBox,
  OptionButton,
  ComboBox,
  ScrollPane
};

// What changed, so that a peer mirrors only that. `index` names a list row where it matters.
enum class Aspect {
  Geometry,
  Visible,
  Text,
  ToolTip,
  Picture,
  Look,
  Value,
  Items,
  ItemAdded,
  ItemChanged,
  ItemRemoved,
  Columns,
  Selection,
  Location,
  Name,
  Scroll
};

enum class Align { Left, Center };

struct Font {
  std::string name = "MS Sans Serif";
  float points = 8.25F;
  bool bold = false;
};

struct Geometry {
  float left = 0, top = 0, width = 0, height = 0;
};

// Colours are 0x00BBGGRR; rgb() makes them.
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

class Control;

class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual void changed(Aspect aspect, int index) = 0;
  // Asked before a picture file is taken; a peer that cannot show the file answers false.
  virtual bool acceptsPicture(const std::string & /*path*/) { return true; }
  virtual void focus() {}
};

class Control {
 public:
  Control(Kind kind, std::string name, Control *container, Geometry geometry, int tabIndex);
  virtual ~Control() = default;
  Control(const Control &) = delete;
  Control &operator=(const Control &) = delete;

  Kind kind() const { return kind_; }
  const std::string &name() const { return name_; }
  Control *container() const { return container_; }
  int tabIndex() const { return tabIndex_; }
  bool takesFocus() const;

  float left() const { return geometry_.left; }
  float top() const { return geometry_.top; }
  float width() const { return geometry_.width; }
  float height() const { return geometry_.height; }
  // Positions may be negative (the control then lies partly outside its container); a negative
  // width or height is refused: the setter answers false and the control keeps its size.
  bool setLeft(float value);
  bool setTop(float value);
  bool setWidth(float value);
  bool setHeight(float value);

  bool visible() const { return visible_; }
  void setVisible(bool value);

  const std::string &toolTip() const { return toolTip_; }
  void setToolTip(std::string value);

  // What a screen reader calls the control. Empty: what the control shows (a label's or a check
  // box's caption), which suits controls that carry their own words.
  const std::string &accessibleName() const { return accessibleName_; }
  void setAccessibleName(std::string value);

  void attach(std::unique_ptr<ControlPeer> peer) { peer_ = std::move(peer); }
  ControlPeer *peer() const { return peer_.get(); }

 protected:
  void notify(Aspect aspect, int index = 0);

 private:
  Kind kind_;
  std::string name_;
  Control *container_;
  Geometry geometry_;
  int tabIndex_;
  bool visible_ = true;
  std::string toolTip_;
  std::string accessibleName_;
  std::unique_ptr<ControlPeer> peer_;
};

class Frame : public Control {
 public:
  Frame(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::Frame, std::move(name), container, g, tab) {}
  const std::string &caption() const { return caption_; }
  void setCaption(std::string value);
  // A plain frame only groups its controls (an option pair under its question): it draws neither a
  // border nor a background of its own.
  bool plain() const { return plain_; }
  void setPlain(bool value);

 private:
  std::string caption_;
  bool plain_ = false;
};

class Label : public Control {
 public:
  Label(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::Label, std::move(name), container, g, tab) {}
  const std::string &caption() const { return caption_; }
  void setCaption(std::string value);
  Align align() const { return align_; }
  const Font &font() const { return font_; }
  std::uint32_t foreColor() const { return foreColor_; }
  void setLook(Align align, Font font, std::uint32_t foreColor = kBlack);
  // A link takes the keyboard like a button, and Enter or Space clicks it.
  bool link() const { return link_; }
  void setLink(bool value);
  // The control this label names for a screen reader, where the control's own name is its value
  // (a drop-down list's).
  Control *labelFor() const { return labelFor_; }
  void setLabelFor(Control *control);

  std::function<void()> onClick;
  void click();

 private:
  std::string caption_;
  bool link_ = false;
  Control *labelFor_ = nullptr;
  Align align_ = Align::Left;
  Font font_;
  std::uint32_t foreColor_ = kBlack;
};

class ImageBox : public Control {
 public:
  ImageBox(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::ImageBox, std::move(name), container, g, tab) {}
  // Raises kf::Error when the file cannot be read or is not a picture; the box is then unchanged.
  void loadPicture(const std::string &path);
  void clearPicture();
  const std::string &picture() const { return picture_; }
  // A picture of the program's own, from its graphics folder; never fails.
  void setAsset(std::string assetName);

 private:
  std::string picture_;
};

class Button : public Control {
 public:
  Button(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::Button, std::move(name), container, g, tab) {}
  // The file name of the button's picture in the program's graphics folder.
  const std::string &picture() const { return picture_; }
  void setPicture(std::string assetName);
  // A button with a caption shows it in place of a picture.
  const std::string &caption() const { return caption_; }
  void setCaption(std::string value);

  std::function<void()> onClick;
  void click();

 private:
  std::string picture_;
  std::string caption_;
};

class TextBox : public Control {
 public:
  TextBox(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::TextBox, std::move(name), container, g, tab) {}
  const std::string &text() const { return text_; }
  void setText(std::string value);
  // What the user typed; the peer reports it without echoing it back.
  void typed(std::string value);

  // Selects the whole text, so that what the user types next replaces it.
  void selectAll();
  bool allSelected() const { return allSelected_; }

  // Earlier entries the box offers while the user types and on the Down key, most likely first.
  const std::vector<std::string> &suggestions() const { return suggestions_; }
  void setSuggestions(std::vector<std::string> value);

  std::function<void(int keyCode, int shift)> onKeyDown;
  void keyDown(int keyCode, int shift = 0);

 private:
  std::string text_;
  bool allSelected_ = false;
  std::vector<std::string> suggestions_;
};

struct ListSubItem {
  std::string text;
  bool bold = false;
  std::uint32_t foreColor = kBlack;
};

struct ListItem {
  std::string text;
  std::vector<ListSubItem> subItems;  // sub-item k is subItems[k - 1]
  int smallIcon = 0;                  // 0: none, k: picture k of the list's image list
};

// A picture list the list views draw their row icons from; icon k is entry k - 1.
struct ImageList {
  struct Entry {
    std::string key;
    std::string asset;
    std::string spoken;  // what a screen reader says for the picture on a row
  };
  std::vector<Entry> entries;
  std::uint32_t maskColor = rgb(192, 192, 192);
  int indexOf(const std::string &key) const;
};

// A list view in report view. Rows are numbered from 1; a row index outside 1..count(), or a
// sub-item a row does not have, raises kf::Error.
class ListView : public Control {
 public:
  ListView(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::ListView, std::move(name), container, g, tab) {}

  void addColumn(std::string header);
  int columnCount() const { return static_cast<int>(columns_.size()); }
  const std::string &columnHeader(int column) const;
  float columnWidth(int column) const;
  // Negative widths are refused like negative control sizes.
  bool setColumnWidth(int column, float width);

  void setImageList(const ImageList *images) { images_ = images; }
  const ImageList *imageList() const { return images_; }

  int count() const { return static_cast<int>(items_.size()); }
  const ListItem &item(int row) const;
  int addItem(std::string text);
  void addSubItem(int row, std::string text);
  const std::string &subItemText(int row, int subItem) const;
  void setSubItemLook(int row, int subItem, bool bold, std::uint32_t foreColor = kBlack);
  int smallIcon(int row) const { return item(row).smallIcon; }
  void setSmallIcon(int row, int icon);
  void removeItem(int row);
  void clear();

  // 0 when no row is selected.
  int selectedIndex() const { return selected_; }
  void select(int row);

  std::function<void(int row)> onItemClick;
  std::function<void()> onDblClick;
  std::function<void(int keyCode, int shift)> onKeyDown;
  std::function<void(int button, int shift, float x, float y)> onMouseUp;
  void clickItem(int row);  // selects the row, then raises the item-click event
  void doubleClick();
  void keyDown(int keyCode, int shift = 0);
  void mouseUp(int button, int shift = 0, float x = 0, float y = 0);

 private:
  ListItem &itemAt(int row);
  ListSubItem &subItemAt(int row, int subItem);

  struct Column {
    std::string header;
    float width = 1440;
  };
  std::vector<Column> columns_;
  std::vector<ListItem> items_;
  const ImageList *images_ = nullptr;
  int selected_ = 0;
};

class ProgressBar : public Control {
 public:
  ProgressBar(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::ProgressBar, std::move(name), container, g, tab) {}
  int min() const { return min_; }
  int max() const { return max_; }
  int value() const { return value_; }
  // A maximum not above the minimum, or a value outside min..max, is refused (answer false).
  bool setMax(int value);
  bool setValue(int value);
  // A busy bar shows that work goes on without telling how far it is; its value is not shown.
  bool busy() const { return busy_; }
  void setBusy(bool value);

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool busy_ = false;
};

class Browser : public Control {
 public:
  Browser(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::Browser, std::move(name), container, g, tab) {}
  void navigate(std::string address);
  const std::string &location() const { return location_; }

  // The page asked to download `address` (a link to a file, or one marked for download); the
  // browser itself downloads nothing.
  std::function<void(const std::string &address)> onDownload;
  void download(const std::string &address);

 private:
  std::string location_;
};

class CheckBox : public Control {
 public:
  enum State { Unchecked = 0, Checked = 1, Grayed = 2 };
  CheckBox(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::CheckBox, std::move(name), container, g, tab) {}
  const std::string &caption() const { return caption_; }
  void setCaption(std::string value);
  State value() const { return value_; }
  void setValue(State value);

 private:
  std::string caption_;
  State value_ = Unchecked;
};

class OptionButton : public Control {
 public:
  OptionButton(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::OptionButton, std::move(name), container, g, tab) {}
  const std::string &caption() const { return caption_; }
  void setCaption(std::string value);
  bool value() const { return value_; }
  // Selecting one option clears the others of its group (the options sharing its container).
  void setValue(bool value);
  void setGroup(std::vector<OptionButton *> group) { group_ = std::move(group); }

 private:
  std::string caption_;
  bool value_ = false;
  std::vector<OptionButton *> group_;
};

// A container whose content can be taller than itself: the controls in it are placed on a surface
// `contentHeight` high, which the user scrolls up and down.
class ScrollPane : public Control {
 public:
  ScrollPane(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::ScrollPane, std::move(name), container, g, tab) {}
  float contentHeight() const { return contentHeight_; }
  void setContentHeight(float value);
  // Scrolls the least that brings the strip `height` high at `top` of the content into view.
  void scrollIntoView(float top, float height);
  // The strip asked for last.
  Geometry shownStrip() const { return shownStrip_; }

 private:
  float contentHeight_ = 0;
  Geometry shownStrip_;
};

// A drop-down selection list without free typing.
class ComboBox : public Control {
 public:
  ComboBox(std::string name, Control *container, Geometry g, int tab)
      : Control(Kind::ComboBox, std::move(name), container, g, tab) {}
  void addItem(std::string text);
  const std::vector<std::string> &items() const { return items_; }
  // -1 when nothing is selected.
  int listIndex() const { return listIndex_; }
  void setListIndex(int index);
  std::string text() const;
  // Selects the entry with exactly this text; a text that is no entry selects nothing.
  void setText(const std::string &value);

 private:
  std::vector<std::string> items_;
  int listIndex_ = -1;
};

}  // namespace kf::ui
