#include "frame/alphaimagelist.h"

#include "resources/toolbars.h"

#include <QIcon>

#include <gtest/gtest.h>

namespace {

TEST(AlphaImageListTest, DisabledAndHotFormulas) {
    const struct {
        QRgb pixel;
        int grey;
    } greys[] = {{qRgb(255, 0, 0), 139},
                 {qRgb(128, 128, 128), 180},
                 {qRgb(0, 0, 0), 0},
                 {qRgb(255, 255, 255), 255}};
    for (const auto& c : greys) {
        EXPECT_EQ(CAlphaImageList::DisabledGrey(c.pixel), c.grey) << std::hex << c.pixel;
    }
    const struct {
        int channel;
        int hot;
    } hots[] = {{128, 97}, {200, 181}, {0, 0}, {255, 255}};
    for (const auto& c : hots) {
        EXPECT_EQ(CAlphaImageList::HotChannel(c.channel), c.hot) << c.channel;
    }
}

TEST(AlphaImageListTest, DerivedImagesKeepAlpha) {
    QImage normal(2, 1, QImage::Format_ARGB32);
    normal.setPixel(0, 0, qRgba(255, 0, 0, 255));
    normal.setPixel(1, 0, qRgba(128, 200, 0, 77));
    const QImage disabled = CAlphaImageList::Derive(normal, CAlphaImageList::kDisabled);
    EXPECT_EQ(disabled.pixel(0, 0), qRgba(139, 139, 139, 255));
    EXPECT_EQ(qAlpha(disabled.pixel(1, 0)), 77);
    EXPECT_EQ(qRed(disabled.pixel(1, 0)), qBlue(disabled.pixel(1, 0)));
    const QImage hot = CAlphaImageList::Derive(normal, CAlphaImageList::kHot);
    EXPECT_EQ(hot.pixel(1, 0), qRgba(97, 181, 0, 77));
    EXPECT_EQ(CAlphaImageList::Derive(normal, CAlphaImageList::kNormal), normal);
}

// Without an icon theme every toolbar command still has its own sharp icon,
// and the disabled look comes from the formula.
TEST(AlphaImageListTest, CommandIconsWithoutAThemeAtEveryRatio) {
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    for (unsigned commandId : ToolbarButtons(IDR_TOOLBAR_STANDARD)) {
        if (commandId != 0) {
            EXPECT_FALSE(CAlphaImageList::CommandIcon(commandId).isNull()) << commandId;
        }
    }
    for (unsigned commandId : {32778u, 32780u, 32782u, 32784u, 32842u}) {
        EXPECT_FALSE(CAlphaImageList::CommandIcon(commandId).isNull()) << commandId;
    }
    EXPECT_TRUE(CAlphaImageList::CommandIcon(1).isNull());

    const QIcon stop = CAlphaImageList::CommandIcon(32782);
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        const QPixmap pixmap = stop.pixmap(QSize(16, 16), ratio);
        EXPECT_EQ(pixmap.size(), QSize(16, 16) * ratio) << ratio;
        EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
    }
    const QImage normal =
        stop.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage disabled = stop.pixmap(QSize(16, 16), 2.0, QIcon::Disabled)
                                .toImage()
                                .convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            const QRgb pixel = normal.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                ++opaque;
                const int grey = CAlphaImageList::DisabledGrey(pixel);
                ASSERT_EQ(disabled.pixel(x, y), qRgba(grey, grey, grey, 255)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(opaque, 100);
    QIcon::setThemeName(theme);
}

}  // namespace
