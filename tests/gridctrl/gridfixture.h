#pragma once

// A grid inside an owner window that records every notification it gets and
// can answer the display requests of virtual mode. The window is shown and
// active, so focus-dependent paths run as they do for the user.

#include "gridctrl/gridctrl.h"
#include "gridctrl/gridowner.h"
#include "support/recordinguiservices.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

class RecordingOwner : public QWidget, public CGridOwner {
public:
    struct Notification {
        int code = 0;
        int row = -1;
        int col = -1;
        CCellRange range;
    };

    qintptr OnGridNotify(GridNotifyHeader* header) override {
        Notification note;
        note.code = header->code;
        if (header->code == GVN_GETDISPINFO) {
            auto* info = reinterpret_cast<GridDisplayInfo*>(header);
            note.row = info->item.row;
            note.col = info->item.col;
            displayRequests.push_back(info->item);
            if (answer) {
                answer(info->item);
            }
        } else if (header->code == GVN_ODCACHEHINT) {
            note.range = reinterpret_cast<GridCacheHint*>(header)->range;
        } else {
            const auto* info = reinterpret_cast<GridNotifyInfo*>(header);
            note.row = info->iRow;
            note.col = info->iColumn;
        }
        notifications.push_back(note);
        return reply;
    }

    std::vector<Notification> codes(int code) const {
        std::vector<Notification> found;
        for (const Notification& note : notifications) {
            if (note.code == code) {
                found.push_back(note);
            }
        }
        return found;
    }

    std::vector<Notification> notifications;
    std::vector<GridItemInfo> displayRequests;
    std::function<void(GridItemInfo&)> answer;
    qintptr reply = 0;
};

class GridTest : public ::testing::Test {
protected:
    // A grid of `rows` x `cols` with the given fixed counts, in a window of
    // the given client size, shown and active.
    CGridCtrl& make(int rows, int cols, int fixedRows = 0, int fixedCols = 0,
                    QSize size = QSize(400, 300)) {
        grid = new CGridCtrl(rows, cols, fixedRows, fixedCols, &owner);
        grid->SetDlgCtrlID(100);
        showGrid(size);
        return *grid;
    }

    // Lays `grid` over the window's client area of the given size, shows the
    // window active and gives the grid the focus, with every key up: the
    // modifiers of an earlier test's Ctrl-click stay in the application's
    // keyboard state, as if the user still held Ctrl.
    void showGrid(QSize size) {
        QTest::keyRelease(&owner, Qt::Key_Control);
        grid->setFrameShape(QFrame::NoFrame);
        owner.resize(size);
        grid->setGeometry(QRect(QPoint(0, 0), size));
        owner.show();
        owner.activateWindow();
        grid->setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&owner));
        grid->ResetScrollBars();
    }

    // The grid's client area painted into an image.
    QImage paint() {
        QImage image(grid->viewport()->size(), QImage::Format_RGB32);
        image.fill(QColor(1, 2, 3));
        QPainter painter(&image);
        grid->OnDraw(painter, image.rect());
        return image;
    }

    static QColor pixel(const QImage& image, QPoint point) { return image.pixelColor(point); }
    QColor paletteColour(QPalette::ColorRole role) const {
        return grid->palette().color(QPalette::Active, role);
    }

    RecordingUiServices services;
    RecordingOwner owner;
    CGridCtrl* grid = nullptr;
};
