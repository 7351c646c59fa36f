#pragma once

// Command icons in three looks from one image: normal, hot (the mouse is
// over the button or the item is selected) and disabled. The hot look
// darkens every colour channel; the disabled look turns the image into a
// light grey of its brightness. Alpha is kept in both. An icon takes its
// image from the desktop's icon theme when the theme has it, and is drawn
// by the program otherwise, at the size and pixel ratio asked for, so it
// stays sharp on high-density screens.

#include <QIcon>
#include <QImage>
#include <QRgb>

class CAlphaImageList {
public:
    virtual ~CAlphaImageList() = default;

    // Image states.
    enum State { kNormal = 0, kHot = 1, kDisabled = 2 };

    // The grey of a disabled pixel: 255 * sqrt(luminance / 255), truncated.
    static int DisabledGrey(QRgb pixel);
    // A colour channel of the hot look: 255 * (c / 255)^1.4, truncated.
    static int HotChannel(int channel);
    // The image in a state, alpha kept.
    static QImage Derive(const QImage& normal, State state);

    // The icon of a menu or toolbar command; null for a command without one.
    static QIcon CommandIcon(unsigned commandId);
};
