#pragma once

// Grids printed to PDF files through a print dialog that is never shown,
// read back with poppler's pdfinfo and pdftotext. The date prints in the C
// locale's form, the window above the grid is titled "Element list".

#include "framework/kformat.h"
#include "gridfixture.h"
#include "settings/langpack.h"
#include "support/childprocess.h"

#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QRectF>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <clocale>
#include <string>

// A word as pdftotext placed it on its page, in points from the page's top
// left corner; the page's own size beside it.
struct PrintedWord {
    QString text;
    QRectF box;
    QSizeF page;
};

struct PrintedPdf {
    bool printed = false;
    int pages = 0;
    QString title;
    QStringList pageTexts;
    // Every page's words with their boxes, in page order.
    QList<QList<PrintedWord>> pageWords;

    QString all() const { return pageTexts.join(u'\f'); }
    // The first word `text` of the page (from 0); a null box when none.
    PrintedWord word(int page, const QString& text) const {
        for (const PrintedWord& word : pageWords.value(page)) {
            if (word.text == text) {
                return word;
            }
        }
        return {};
    }
};

inline QString runPoppler(const QString& program, const QStringList& arguments) {
    QByteArray output;
    const int exitCode = RunChildProcess(program, arguments, output, 60000);
    if (exitCode != 0) {
        ADD_FAILURE() << program.toStdString() << " failed with exit code " << exitCode;
        return {};
    }
    return QString::fromUtf8(output);
}

// The words of every page of pdftotext's box listing ("-bbox").
inline QList<QList<PrintedWord>> parseWordBoxes(const QString& listing) {
    static const QRegularExpression page(u"<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">"_qs);
    static const QRegularExpression word(
        u"<word xMin=\"([\\d.-]+)\" yMin=\"([\\d.-]+)\" xMax=\"([\\d.-]+)\" "
        "yMax=\"([\\d.-]+)\">([^<]*)</word>"_qs);
    QList<QList<PrintedWord>> pages;
    QSizeF size;
    for (const QString& line : listing.split(u'\n')) {
        if (const QRegularExpressionMatch match = page.match(line); match.hasMatch()) {
            size = QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble());
            pages.emplaceBack();
        } else if (const QRegularExpressionMatch found = word.match(line);
                   found.hasMatch() && !pages.isEmpty()) {
            const QPointF from(found.captured(1).toDouble(), found.captured(2).toDouble());
            const QPointF to(found.captured(3).toDouble(), found.captured(4).toDouble());
            pages.last().append(PrintedWord{found.captured(5), QRectF(from, to), size});
        }
    }
    return pages;
}

// How often `token` stands in `text` as a word of its own.
inline int occurrences(const QString& text, const QString& token) {
    return static_cast<int>(text.count(
        QRegularExpression(u"(?<!\\w)"_qs + QRegularExpression::escape(token) + u"(?!\\w)"_qs)));
}

class GridPrintTest : public GridTest {
protected:
    void SetUp() override {
        m_previousTime = std::setlocale(LC_TIME, nullptr);
        std::setlocale(LC_TIME, "C");
        m_pack.LoadBuiltIn();
        SetActiveLangPack(&m_pack);
        owner.setWindowTitle(u"Element list"_qs);
    }
    void TearDown() override {
        SetActiveLangPack(nullptr);
        std::setlocale(LC_TIME, m_previousTime.c_str());
    }

    // A grid with one fixed row of headings "H<col>" and one fixed column of
    // row labels "L<row>"; body cells read "c<row>x<col>".
    CGridCtrl& makeLabelled(int rows, int cols, int colWidth = 0) {
        make(rows, cols, 1, 1);
        for (int col = 1; col < cols; ++col) {
            grid->SetItemText(0, col, kFormat(u"H%02d", col));
            if (colWidth > 0) {
                grid->SetColumnWidth(col, colWidth);
            }
        }
        for (int row = 1; row < rows; ++row) {
            grid->SetItemText(row, 0, kFormat(u"L%04d", row));
            for (int col = 1; col < cols; ++col) {
                grid->SetItemText(row, col, kFormat(u"c%dx%d", row, col));
            }
        }
        return *grid;
    }

    // Prints through a dialog that is never shown, the way a caller that ran
    // its own dialog lends its printer.
    PrintedPdf print(const QString& path = {}) {
        const QString file = path.isEmpty() ? m_dir.filePath(u"grid.pdf"_qs) : path;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        QPrintDialog dialog(&printer);
        PrintedPdf pdf;
        pdf.printed = grid->Print(&dialog);
        if (!pdf.printed) {
            return pdf;
        }
        const QString info = runPoppler(u"pdfinfo"_qs, {file});
        const QRegularExpression pages(u"^Pages:\\s+(\\d+)"_qs,
                                       QRegularExpression::MultilineOption);
        pdf.pages = pages.match(info).captured(1).toInt();
        const QRegularExpression title(u"^Title:\\s+(.*)$"_qs, QRegularExpression::MultilineOption);
        pdf.title = title.match(info).captured(1).trimmed();
        pdf.pageTexts = runPoppler(u"pdftotext"_qs, {u"-layout"_qs, file, u"-"_qs})
                            .split(u'\f', Qt::SkipEmptyParts);
        pdf.pageWords = parseWordBoxes(runPoppler(u"pdftotext"_qs, {u"-bbox"_qs, file, u"-"_qs}));
        return pdf;
    }

    CLangPack m_pack;
    QTemporaryDir m_dir;
    std::string m_previousTime;
};
