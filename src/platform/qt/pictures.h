#pragma once
// Pictures for the widgets: files the program fetched, and the program's own artwork in AppDir/gfx.
#include <QColor>
#include <QPixmap>
#include <optional>
#include <string>

namespace kf::qtui {

// The picture in a file at its own size, or a null pixmap when the file is missing or no picture Qt
// can decode. Scalable pictures are drawn sharp for the screen's pixel ratio.
QPixmap pictureFromFile(const std::string &path);

// A picture of the program's own by file name, e.g. "search.svg"; a null pixmap when it is missing.
// Pixels of `transparent` become see-through, as the image list's mask colour asks.
QPixmap asset(const std::string &name, std::optional<QColor> transparent = std::nullopt);

}  // namespace kf::qtui
