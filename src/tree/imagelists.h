#pragma once

// The item images of the World View and the folder list as two lists,
// 16x16 and 32x32, in the fixed order that the tree's image indexes refer to
// (tree/treeimages.h chooses each image). Built the first time they are
// needed; UI thread only.

#include <QIcon>
#include <QList>
#include <QPixmap>

class CImageLists {
public:
    static constexpr int kSmallSize = 16;
    static constexpr int kLargeSize = 32;

    // Builds both lists; nothing happens when they exist already.
    void CreateImageLists();
    bool IsCreated() const { return !m_small.isEmpty(); }
    int Count() const { return static_cast<int>(m_small.size()); }

    // The image at an index; a null pixmap for an index outside the list.
    QPixmap Small(int index) const;
    QPixmap Large(int index) const;

private:
    QList<QPixmap> m_small;
    QList<QPixmap> m_large;
};
