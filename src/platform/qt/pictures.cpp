#include "platform/qt/pictures.h"

#include <QBitmap>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImageReader>

#include "platform/base/error.h"
#include "platform/base/picture.h"

namespace kf::qtui {

QPixmap pictureFromFile(const std::string &path) {
  // Read by the path's bytes: Qt's own file name decoding might not give them back unchanged.
  QByteArray bytes;
  try {
    bytes = QByteArray::fromStdString(picture::readPictureFile(path));
  } catch (const Error &) {
    return {};
  }
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  const bool scalable = reader.format() == "svg";
  if (scalable && ratio != 1.0) reader.setScaledSize(reader.size() * ratio);
  QImage image = reader.read();
  if (image.isNull()) return {};
  if (scalable) image.setDevicePixelRatio(ratio);
  return QPixmap::fromImage(std::move(image));
}

namespace {

// Buttons and list rows ask for the same few pictures again and again. Pixmaps must go before the
// application object does, so the cache is emptied as it ends.
QHash<QString, QPixmap> &assetCache() {
  static QHash<QString, QPixmap> cache;
  static const bool emptiedAtEnd = [] {
    qAddPostRoutine([] { cache.clear(); });
    return true;
  }();
  (void)emptiedAtEnd;
  return cache;
}

}  // namespace

QPixmap asset(const std::string &name, std::optional<QColor> transparent) {
  auto &cache = assetCache();
  const QString key = QString::fromStdString(name) + (transparent ? transparent->name() : QString());
  if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;
  const std::string folder = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/gfx/";
  QPixmap picture = pictureFromFile(folder + name);
  if (!picture.isNull() && transparent) picture.setMask(picture.createMaskFromColor(*transparent, Qt::MaskInColor));
  cache.insert(key, picture);
  return picture;
}

}  // namespace kf::qtui
