// The first page of a wide grid printed at screen scale, rendered by
// pdftoppm and kept beside the test for a look: it has ink on it and the
// page's proportions.

#include "gridprintfixture.h"
#include "support/xinput.h"

#include <QGuiApplication>
#include <QImage>
#include <QStandardPaths>

namespace {

TEST_F(GridPrintTest, TheFirstPageOfAWideGridIsKeptAsAnImage) {
    QUILLEX_SKIP_WITHOUT_DESKTOP(false);
    makeLabelled(60, 41, 150);
    grid->SetPrintAtScreenScale(true);
    const QString pdf = m_dir.filePath(u"wide.pdf"_qs);
    ASSERT_TRUE(print(pdf).printed);
    const QString stem = QCoreApplication::applicationDirPath() + u"/gridprint-page1"_qs;
    runPoppler(u"pdftoppm"_qs, {u"-f"_qs, u"1"_qs, u"-l"_qs, u"1"_qs, u"-r"_qs, u"72"_qs,
                                u"-png"_qs, u"-singlefile"_qs, pdf, stem});
    const QImage page(stem + u".png"_qs);
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.height(), page.width());
    int dark = 0;
    for (int y = 0; y < page.height(); y += 2) {
        for (int x = 0; x < page.width(); x += 2) {
            dark += qGray(page.pixel(x, y)) < 128;
        }
    }
    EXPECT_GT(dark, 100);
}

}  // namespace
