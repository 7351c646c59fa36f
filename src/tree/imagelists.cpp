#include "tree/imagelists.h"

#include "tree/treeimages.h"

#include <QPainter>

namespace {

// The icon at exactly size x size: an icon that has no image that large is
// scaled up and centred, so both lists hold images of their own size.
QPixmap pixmapOfSize(const QIcon& icon, int size) {
    const QPixmap pixmap = icon.pixmap(size, size);
    if (pixmap.isNull() || pixmap.deviceIndependentSize() == QSizeF(size, size)) {
        return pixmap;
    }
    const QPixmap scaled = pixmap.width() >= pixmap.height()
                               ? pixmap.scaledToWidth(size, Qt::SmoothTransformation)
                               : pixmap.scaledToHeight(size, Qt::SmoothTransformation);
    QPixmap canvas(size, size);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.drawPixmap((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    return canvas;
}

}  // namespace

void CImageLists::CreateImageLists() {
    if (IsCreated()) {
        return;
    }
    for (int index = 0; index < kTreeImageCount; ++index) {
        const QIcon icon = TreeImageIcon(index);
        m_small.append(pixmapOfSize(icon, kSmallSize));
        m_large.append(pixmapOfSize(icon, kLargeSize));
    }
}

QPixmap CImageLists::Small(int index) const {
    return m_small.value(index);
}

QPixmap CImageLists::Large(int index) const {
    return m_large.value(index);
}
