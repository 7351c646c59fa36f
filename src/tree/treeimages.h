#pragma once

// The World View's 16x16 images in their fixed order. ImageIdx of an item
// record is an index into this list, and the icon names of tree XML choose
// one of them.

#include <QIcon>
#include <QStringView>

enum TreeImage : int {
    kImageCalendar = 0,
    kImageConfig = 1,
    kImageFolderClosed = 2,
    kImageFolderOpen = 3,
    kImageGears = 4,
    kImageGlasses = 5,
    kImageGraph = 6,
    kImageGrid = 7,
    kImageElements = 8,
    kImageLog = 9,
    kImageGroup = 10,
    kImageGroupRemote = 11,
    kImageGroupList = 12,
    kImageGroupListRemote = 13,
    kImageRole = 14,
    kImageRoot = 15,
    kImageSystem0 = 16,
    kImageSystemG = 17,
    kImageSystemR = 18,
    kImageSystemY = 19,
    kImageVFolder = 20,
    kImageFolderOpen2 = 21,
    kTreeImageCount = 22,
};

// The image of an icon name of tree XML. Names are compared with case. An
// empty name gives the calendar image, or the closed folder on a folder
// element; an unknown name gives the gears image and sets `unknown`.
int TreeImageForIcon(QStringView icon, bool folderElement, bool& unknown);

// The icon shown for an image index; out-of-range indexes give the first.
// UI thread only.
QIcon TreeImageIcon(int index);
