// The controls that only show something: frames, labels, image boxes and progress bars.
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>

#include "platform/qt/accessible.h"
#include "platform/qt/control_peer.h"
#include "platform/qt/convert.h"
#include "platform/qt/guarded.h"
#include "platform/qt/pictures.h"

namespace kf::qtui {
namespace {

// A group box that can leave out its border: a plain frame only groups, for the screen reader.
class FrameBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;
  bool plain = false;

 protected:
  void paintEvent(QPaintEvent *event) override {
    if (!plain) QGroupBox::paintEvent(event);
  }
};

class FramePeer : public QtControlPeer {
 public:
  FramePeer(ui::Frame &frame, QWidget *parent) : QtControlPeer(frame, new FrameBox(parent)), frame_(frame) {
    // Frames keep the system's window colour on the white window.
    QPalette palette = widget()->palette();
    palette.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    widget()->setPalette(palette);
    widget()->setAutoFillBackground(true);
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    auto *box = static_cast<FrameBox *>(widget());
    if (aspect == ui::Aspect::Text) {
      box->setTitle(shownText(frame_.caption()));
    } else if (aspect == ui::Aspect::Look) {
      box->plain = frame_.plain();
      box->setAutoFillBackground(!frame_.plain());
      box->update();
    } else {
      QtControlPeer::update(aspect, index);
    }
  }

 private:
  ui::Frame &frame_;
};

class LabelPeer : public QtControlPeer {
 public:
  LabelPeer(ui::Label &label, QWidget *parent) : QtControlPeer(label, new LabelWidget(parent)), label_(label) {
    // A screen reader's press may end the window and this peer with it: nothing of the peer is
    // touched after the click.
    if (LabelWidget *made = qLabel()) made->press = [this] { runGuarded([this] { label_.click(); }); };
    // Captions can hold text from the network: never read it as markup.
    qLabel()->setTextFormat(Qt::PlainText);
    qLabel()->setWordWrap(true);
    widget()->installEventFilter(this);
  }
  // The widget goes only once the event loop deletes it: a press that comes meanwhile finds no peer.
  ~LabelPeer() override {
    if (LabelWidget *shown = qLabel()) shown->press = nullptr;
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    switch (aspect) {
      case ui::Aspect::Text:
        qLabel()->setText(shownText(label_.caption()));
        break;
      case ui::Aspect::Look: {
        const Qt::Alignment across = label_.align() == ui::Align::Center ? Qt::AlignHCenter : Qt::AlignLeft;
        qLabel()->setAlignment(across | Qt::AlignTop);
        QFont font = toQFont(label_.font());
        font.setUnderline(label_.link());
        qLabel()->setFont(font);
        if (LabelWidget *shown = qLabel()) shown->link = label_.link();
        qLabel()->setFocusPolicy(label_.link() ? Qt::StrongFocus : Qt::NoFocus);
        qLabel()->setBuddy(label_.labelFor() ? widgetOf(*label_.labelFor()) : nullptr);
        QPalette palette = qLabel()->palette();
        palette.setColor(QPalette::WindowText, toQColor(label_.foreColor()));
        qLabel()->setPalette(palette);
        break;
      }
      default:
        QtControlPeer::update(aspect, index);
    }
  }

  bool eventFilter(QObject * /*watched*/, QEvent *event) override {
    QWidget *const shown = widget();
    if (!shown) return false;
    if (event->type() == QEvent::KeyPress && label_.link()) {
      const int key = static_cast<QKeyEvent *>(event)->key();
      if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space) return false;
      // The click may end the window and this peer with it: nothing of the peer is touched after it.
      runGuarded([this] { label_.click(); });
      return true;
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
      // A label draws no focus of its own: a link with the keyboard gets a box around it.
      static_cast<QLabel *>(shown)->setFrameShape(event->type() == QEvent::FocusIn ? QFrame::Box : QFrame::NoFrame);
    } else if (event->type() == QEvent::Enter) {
      // The handler may be wired after the label was made, so the pointer is chosen on entering.
      if (label_.onClick) {
        shown->setCursor(Qt::PointingHandCursor);
      } else {
        shown->unsetCursor();
      }
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto *mouse = static_cast<QMouseEvent *>(event);
      if (mouse->button() == Qt::LeftButton && shown->rect().contains(mouse->position().toPoint())) {
        runGuarded([this] { label_.click(); });
      }
    }
    return false;
  }

 private:
  LabelWidget *qLabel() const { return static_cast<LabelWidget *>(widget()); }
  ui::Label &label_;
};

class ImageBoxPeer : public QtControlPeer {
 public:
  ImageBoxPeer(ui::ImageBox &box, QWidget *parent) : QtControlPeer(box, new QLabel(parent)), box_(box) {
    // At its own size from the top left corner; the box cuts off what does not fit.
    static_cast<QLabel *>(widget())->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

  bool acceptsPicture(const std::string &path) override {
    checked_ = pictureFromFile(path);
    checkedPath_ = path;
    return !checked_.isNull();
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    if (aspect != ui::Aspect::Picture) {
      QtControlPeer::update(aspect, index);
      return;
    }
    auto *label = static_cast<QLabel *>(widget());
    const std::string &picture = box_.picture();
    if (picture.empty()) {
      label->clear();
    } else if (picture.find('/') == std::string::npos) {
      // Asset names are bare file names; loaded pictures always come with their folder.
      label->setPixmap(asset(picture));
    } else {
      label->setPixmap(picture == checkedPath_ ? checked_ : pictureFromFile(picture));
    }
    checked_ = {};
    checkedPath_.clear();
  }

 private:
  ui::ImageBox &box_;
  // The picture decoded while the box asked whether it can show it, so it is decoded once.
  QPixmap checked_;
  std::string checkedPath_;
};

class ProgressBarPeer : public QtControlPeer {
 public:
  ProgressBarPeer(ui::ProgressBar &bar, QWidget *parent) : QtControlPeer(bar, new QProgressBar(parent)), bar_(bar) {
    static_cast<QProgressBar *>(widget())->setTextVisible(false);
  }

 protected:
  void update(ui::Aspect aspect, int index) override {
    if (aspect == ui::Aspect::Value) {
      auto *progress = static_cast<QProgressBar *>(widget());
      // Qt shows a bar whose range is empty as busy.
      progress->setRange(bar_.min(), bar_.busy() ? bar_.min() : bar_.max());
      progress->setValue(bar_.value());
    } else {
      QtControlPeer::update(aspect, index);
    }
  }

 private:
  ui::ProgressBar &bar_;
};

}  // namespace

std::unique_ptr<QtControlPeer> makeDisplayPeer(ui::Control &control, QWidget *parent) {
  switch (control.kind()) {
    case ui::Kind::Frame:
      return std::make_unique<FramePeer>(static_cast<ui::Frame &>(control), parent);
    case ui::Kind::Label:
      return std::make_unique<LabelPeer>(static_cast<ui::Label &>(control), parent);
    case ui::Kind::ImageBox:
      return std::make_unique<ImageBoxPeer>(static_cast<ui::ImageBox &>(control), parent);
    case ui::Kind::ProgressBar:
      return std::make_unique<ProgressBarPeer>(static_cast<ui::ProgressBar &>(control), parent);
    default:
      return nullptr;
  }
}

}  // namespace kf::qtui
