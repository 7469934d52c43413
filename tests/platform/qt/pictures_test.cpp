// The program's artwork: every picture the windows name loads through Qt at the pixel size the
// controls were laid out for.
#include "platform/qt/pictures.h"

#include <gtest/gtest.h>

#include <QIcon>

namespace kf::qtui {
namespace {

struct Artwork {
  const char *name;
  int width;
  int height;
};

void PrintTo(const Artwork &art, std::ostream *out) {
  *out << art.name;
}

class QtArtworkTest : public ::testing::TestWithParam<Artwork> {};

TEST_P(QtArtworkTest, LoadsAtItsOwnSize) {
  const Artwork &art = GetParam();
  const QPixmap picture = asset(art.name);
  ASSERT_FALSE(picture.isNull()) << art.name;
  EXPECT_EQ(picture.deviceIndependentSize().toSize(), QSize(art.width, art.height));
  // Opaque pixels somewhere: a picture that renders empty is as good as missing.
  const QImage image = picture.toImage();
  bool drawn = false;
  for (int y = 0; y < image.height() && !drawn; ++y) {
    for (int x = 0; x < image.width() && !drawn; ++x) drawn = qAlpha(image.pixel(x, y)) == 255;
  }
  EXPECT_TRUE(drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Gfx, QtArtworkTest,
    ::testing::Values(Artwork{"klipfang.svg", 32, 32}, Artwork{"search.svg", 48, 48}, Artwork{"abort.svg", 30, 30},
                      Artwork{"file.svg", 35, 42}, Artwork{"results.svg", 48, 48}, Artwork{"download.svg", 48, 48},
                      Artwork{"settings.svg", 45, 40}, Artwork{"watch.svg", 32, 32}, Artwork{"info.svg", 48, 48},
                      Artwork{"sitelogo.svg", 48, 18}, Artwork{"favourites.svg", 32, 32}, Artwork{"mark.svg", 24, 20},
                      Artwork{"unmark.svg", 24, 20}, Artwork{"link.svg", 16, 16}, Artwork{"filelink.svg", 16, 16},
                      Artwork{"fav.svg", 14, 14}, Artwork{"cancel.svg", 22, 22}, Artwork{"save.svg", 32, 21},
                      Artwork{"logo.svg", 125, 85}, Artwork{"close.svg", 22, 22}),
    [](const ::testing::TestParamInfo<Artwork> &instance) {
      std::string name = instance.param.name;
      return name.substr(0, name.find('.'));
    });

TEST(QtPicturesTest, MissingPictureIsEmptyNotAFailure) {
  EXPECT_TRUE(asset("gibt-es-nicht.svg").isNull());
}

}  // namespace
}  // namespace kf::qtui
