// Grids printed to PDF files and read back: page counts against the grid's
// own count, bands, headings on every page, column pages and the titles.

#include "gridprintfixture.h"

namespace {

TEST_F(GridPrintTest, ASmallGridPrintsOnePageWithItsTitlesAndDate) {
    makeLabelled(5, 3);
    const PrintedPdf pdf = print();
    ASSERT_TRUE(pdf.printed);
    EXPECT_EQ(grid->GetPrintMetrics().pageCount, 1);
    ASSERT_EQ(pdf.pages, 1);
    ASSERT_EQ(pdf.pageTexts.size(), 1);
    const QString& page = pdf.pageTexts[0];
    EXPECT_EQ(pdf.title, u"Quillet for Velnix"_qs);
    EXPECT_TRUE(page.contains(u"Page 1 of 1"_qs)) << page.toStdString();
    EXPECT_TRUE(page.contains(u"Element list"_qs));
    EXPECT_TRUE(page.contains(u"Quillet for Velnix"_qs));
    EXPECT_TRUE(page.contains(
        QRegularExpression(u"[A-Z][a-z]{2} [A-Z][a-z]{2} +\\d+ \\d\\d:\\d\\d:\\d\\d \\d{4}"_qs)))
        << page.toStdString();
    EXPECT_FALSE(page.contains(u"AFX_IDS_APP_TITLE"_qs));
    for (const QString& cell : {u"H01"_qs, u"H02"_qs, u"L0004"_qs, u"c4x2"_qs}) {
        EXPECT_EQ(occurrences(page, cell), 1) << cell.toStdString();
    }
}

TEST_F(GridPrintTest, ALongGridBreaksIntoPagesEachWithHeadingsAndItsRows) {
    makeLabelled(400, 3);
    const PrintedPdf pdf = print();
    ASSERT_TRUE(pdf.printed);
    const int pages = grid->GetPrintMetrics().pageCount;
    ASSERT_GT(pages, 1);
    ASSERT_EQ(pdf.pages, pages);
    ASSERT_EQ(pdf.pageTexts.size(), pages);
    for (int page = 1; page <= pages; ++page) {
        const QString& text = pdf.pageTexts[page - 1];
        EXPECT_TRUE(text.contains(kFormat(u"Page %d of %d", page, pages))) << page;
        EXPECT_EQ(occurrences(text, u"H01"_qs), 1) << page;
        EXPECT_EQ(occurrences(text, u"H02"_qs), 1) << page;
    }
    const QString all = pdf.all();
    qsizetype previous = -1;
    for (int row = 1; row < 400; ++row) {
        const QString label = kFormat(u"L%04d", row);
        ASSERT_EQ(occurrences(all, label), 1) << row;
        const qsizetype at = all.indexOf(label);
        EXPECT_GT(at, previous) << row;
        previous = at;
    }
}

TEST_F(GridPrintTest, AtScreenScaleAWideGridPrintsColumnPagesAcrossTheBandFirst) {
    makeLabelled(60, 41, 150);
    grid->SetPrintAtScreenScale(true);
    const PrintedPdf pdf = print();
    ASSERT_TRUE(pdf.printed);
    const CGridCtrl::PrintMetrics& metrics = grid->GetPrintMetrics();
    const int across = metrics.columnPages;
    ASSERT_GT(across, 1);
    ASSERT_EQ(metrics.pageCount % across, 0);
    ASSERT_GT(metrics.pageCount / across, 1) << "the grid should need two row bands";
    ASSERT_EQ(pdf.pages, metrics.pageCount);
    ASSERT_EQ(pdf.pageTexts.size(), metrics.pageCount);

    const auto rowsOn = [&](int page) {
        QStringList labels;
        for (int row = 1; row < 60; ++row) {
            if (pdf.pageTexts[page].contains(kFormat(u"L%04d", row))) {
                labels << kFormat(u"L%04d", row);
            }
        }
        return labels;
    };
    // Page 2 has page 1's rows with the next columns; the second band
    // starts after the last column page of the first.
    EXPECT_FALSE(rowsOn(0).isEmpty());
    EXPECT_EQ(rowsOn(1), rowsOn(0));
    EXPECT_EQ(rowsOn(across - 1), rowsOn(0));
    EXPECT_FALSE(rowsOn(across).contains(rowsOn(0).first()));
    EXPECT_TRUE(pdf.pageTexts[0].contains(u"c1x1"_qs));
    EXPECT_FALSE(pdf.pageTexts[0].contains(u"H40"_qs));
    EXPECT_FALSE(pdf.pageTexts[1].contains(u"c1x1"_qs));
    EXPECT_TRUE(pdf.pageTexts[across - 1].contains(u"H40"_qs));

    const QString all = pdf.all();
    for (int row = 1; row < 60; ++row) {
        for (int col = 1; col < 41; ++col) {
            ASSERT_EQ(occurrences(all, kFormat(u"c%dx%d", row, col)), 1) << row << "," << col;
        }
    }
}

TEST_F(GridPrintTest, FittedToThePageAWideGridHasOneColumnPage) {
    makeLabelled(20, 41, 150);
    const PrintedPdf pdf = print();
    ASSERT_TRUE(pdf.printed);
    EXPECT_EQ(grid->GetPrintMetrics().columnPages, 1);
    ASSERT_EQ(pdf.pages, grid->GetPrintMetrics().pageCount);
    for (int col = 1; col < 41; ++col) {
        EXPECT_EQ(occurrences(pdf.pageTexts[0], kFormat(u"H%02d", col)), 1) << col;
    }
}

// Printed glyphs do not measure as the screen's, and a column the user made
// narrow on screen still has room on a page fitted to the grid.
TEST_F(GridPrintTest, CellsPrintTheirWholeTexts) {
    const QStringList texts = {u"core-router-01.example.net"_qs, u"192.168.100.200"_qs,
                               u"Interface Description Of The Uplink Port"_qs};
    struct Case {
        const char* what;
        int screenWidth;  // 0: sized to the screen's text
        bool atScreenScale;
    };
    for (const Case& item : {Case{"sized to the screen, fitted", 0, false},
                             Case{"sized to the screen, at screen scale", 0, true},
                             Case{"cut on screen, fitted", 30, false},
                             Case{"cut on screen, at screen scale", 30, true}}) {
        SCOPED_TRACE(item.what);
        make(3, 4, 1, 1);
        for (int col = 1; col < 4; ++col) {
            grid->SetItemText(0, col, kFormat(u"Heading %d", col));
            grid->SetItemText(1, col, texts[col - 1]);
            grid->SetItemText(2, col, texts[col - 1].left(5));
            if (item.screenWidth > 0) {
                grid->SetColumnWidth(col, item.screenWidth);
            } else {
                grid->AutoSizeColumn(col);
            }
        }
        grid->SetPrintAtScreenScale(item.atScreenScale);
        const PrintedPdf pdf = print();
        ASSERT_TRUE(pdf.printed);
        const QString all = pdf.all();
        for (int col = 1; col < 4; ++col) {
            EXPECT_EQ(occurrences(all, texts[col - 1]), 1) << texts[col - 1].toStdString();
            EXPECT_EQ(occurrences(all, kFormat(u"Heading %d", col)), 1) << col;
        }
        EXPECT_FALSE(all.contains(u'\u2026')) << all.toStdString();
        delete grid;
        grid = nullptr;
    }
}

TEST_F(GridPrintTest, ARowTallerThanThePageIsPrintedOnAPageOfItsOwn) {
    makeLabelled(4, 3);
    grid->SetRowHeight(2, 20000);
    for (int col = 0; col < 3; ++col) {
        grid->SetItemFormat(2, col, DT_SINGLELINE | DT_NOPREFIX);
    }
    const PrintedPdf pdf = print();
    ASSERT_TRUE(pdf.printed);
    ASSERT_EQ(grid->GetPrintMetrics().pageCount, 3);
    ASSERT_EQ(pdf.pages, 3);
    ASSERT_EQ(pdf.pageTexts.size(), 3);
    EXPECT_TRUE(pdf.pageTexts[0].contains(u"c1x1"_qs));
    EXPECT_TRUE(pdf.pageTexts[1].contains(u"L0002"_qs)) << pdf.pageTexts[1].toStdString();
    EXPECT_TRUE(pdf.pageTexts[1].contains(u"c2x2"_qs));
    EXPECT_FALSE(pdf.pageTexts[1].contains(u"c3x1"_qs));
    EXPECT_TRUE(pdf.pageTexts[2].contains(u"c3x1"_qs));
}

TEST_F(GridPrintTest, ARowTallerThanThePageHasItsTextsInWhatThePageShowsOfIt) {
    struct Case {
        unsigned format;
        const char* alignment;
    };
    const Case cases[] = {
        {DT_SINGLELINE | DT_NOPREFIX, "top"},
        {kDefaultCellFormat, "centred"},
        {DT_WORDBREAK | DT_VCENTER | DT_NOPREFIX, "centred, wrapped"},
    };
    for (const Case& c : cases) {
        delete grid;
        makeLabelled(4, 3);
        grid->SetRowHeight(2, 5000);
        for (int col = 0; col < 3; ++col) {
            grid->SetItemFormat(2, col, c.format);
        }
        const PrintedPdf pdf = print();
        ASSERT_TRUE(pdf.printed) << c.alignment;
        ASSERT_EQ(pdf.pageWords.size(), 3) << c.alignment;
        // Between the header band (the window's title) and the footer band.
        const double bodyTop = pdf.word(1, u"Element"_qs).box.bottom();
        const double bodyBottom = pdf.word(1, u"Page"_qs).box.top();
        ASSERT_LT(bodyTop, bodyBottom) << c.alignment;
        for (const QString& text : {u"L0002"_qs, u"c2x2"_qs}) {
            const QRectF box = pdf.word(1, text).box;
            EXPECT_GT(box.top(), bodyTop) << c.alignment << " " << text.toStdString();
            EXPECT_LT(box.bottom(), bodyBottom) << c.alignment << " " << text.toStdString();
        }
    }
}

TEST_F(GridPrintTest, OnlyFixedRowsPrintOnePageWithoutBody) {
    makeLabelled(1, 3);
    const PrintedPdf pdf = print();
    ASSERT_TRUE(pdf.printed);
    ASSERT_EQ(pdf.pages, 1);
    const QString& page = pdf.pageTexts.value(0);
    for (const QString& text : {u"H01"_qs, u"H02"_qs, u"Page 1 of 1"_qs, u"Element list"_qs}) {
        EXPECT_TRUE(page.contains(text)) << text.toStdString();
    }
    EXPECT_FALSE(page.contains(u"c1x1"_qs));
}

TEST_F(GridPrintTest, AnEmptyTitleInThePackFallsBackToTheWindowTitle) {
    m_pack.Add(u"AFX_IDS_APP_TITLE"_qs, QString());
    makeLabelled(3, 3);
    const PrintedPdf pdf = print();
    ASSERT_TRUE(pdf.printed);
    EXPECT_EQ(pdf.title, u"Element list"_qs);
    const QString& page = pdf.pageTexts.value(0);
    EXPECT_EQ(occurrences(page, u"Element list"_qs), 1);
    EXPECT_FALSE(page.contains(u"Quillet"_qs));
    EXPECT_FALSE(page.contains(u"AFX_IDS_APP_TITLE"_qs));
}

TEST_F(GridPrintTest, AnUnwritablePathAbortsTheJob) {
    makeLabelled(3, 3);
    const PrintedPdf pdf = print(m_dir.path());
    EXPECT_FALSE(pdf.printed);
    EXPECT_TRUE(QDir(m_dir.path()).exists());
}

}  // namespace
