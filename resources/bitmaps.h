#pragma once

// The program's own bitmaps, drawn in code: the splash and about window's
// background (251), sized for the places of that window's texts and buttons.

#include <QPixmap>

enum BitmapResourceId : unsigned {
    IDB_SPLASH_ABOUT = 251,
};

// The bitmap `id`, or a null pixmap for an unknown id.
QPixmap LoadBitmapResource(unsigned id);

// Where the splash bitmap draws the maker's name: the window's link to the
// maker's page lies over it.
inline constexpr int kSplashMakerLeft = 111;
inline constexpr int kSplashMakerRight = 265;
inline constexpr int kSplashMakerTop = 10;
inline constexpr int kSplashMakerBottom = 48;
