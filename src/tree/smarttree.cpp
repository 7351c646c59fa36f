// SmartTree: an item whose label holds a path of pieces joined by its
// delimiter is put into one folder per leading piece, and folders are shared
// by every later item with the same leading pieces.

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/ktext.h"
#include "tree/mytree.h"
#include "tree/treeimages.h"
#include "tree/treenode.h"

#include <QTreeWidgetItem>

namespace {

// One label per level: with repeat 1 every level, with repeat 2 only the
// last, starts with the pieces before it; every level but the last ends in
// the suffix.
QStringList LevelLabels(const QStringList& pieces, const CMyItem& record) {
    QStringList levels;
    const qsizetype last = pieces.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        QString level;
        const bool repeat = record.SmartRepeat == 1 || (record.SmartRepeat == 2 && i == last);
        if (repeat) {
            for (qsizetype j = 0; j < i; ++j) {
                level += pieces[j] + record.SmartDelim;
            }
        }
        level += pieces[i];
        if (i != last) {
            level += record.SmartSuffix;
        }
        levels.append(level);
    }
    return levels;
}

std::unique_ptr<CMyItem> SmartFolderRecord(const QString& label, const QString& hoverText) {
    auto folder = std::make_unique<CMyItem>();
    folder->ItemType = kKindComponent;
    folder->ImageIdx = kImageFolderClosed;
    folder->PanelParts = kPanelList;
    folder->SmartFolder = 1;
    folder->SetLabel(label);
    folder->SetHoverText(hoverText);
    return folder;
}

}  // namespace

QTreeWidgetItem* CMyTree::AddSmartTreeItem(QTreeWidgetItem* parent, const CMyItem& record) {
    QStringList pieces;
    kParseDelimedListStr(record.GetLabel(), pieces, record.SmartLevels(), record.SmartDelim, true);
    if (pieces.size() <= 1) {
        return InsertItemCopy(parent, nullptr, record);
    }
    const QStringList levels = LevelLabels(pieces, record);
    QTreeWidgetItem* current = parent;
    QTreeWidgetItem* topFolder = nullptr;
    QString inheritedHover;
    QString path;
    for (qsizetype i = 0; i + 1 < levels.size(); ++i) {
        const QString& level = levels[i];
        QTreeWidgetItem* folder = FindChildByLabel(level, current);
        if (folder != nullptr) {
            const CMyItem* found = CTreeNode::RecordOf(folder);
            inheritedHover = found != nullptr ? found->GetHoverText() : QString();
        } else {
            QString hover;
            if (!inheritedHover.isEmpty()) {
                QString stem = inheritedHover;
                while (stem.endsWith(u'"')) {
                    stem.chop(1);
                }
                hover = kFormat(u"%s\"", stem + record.SmartDelim + level);
            } else {
                hover = kFormat(u"SmartTree folder for: \"%s\"", path + level);
            }
            folder = InsertItem(current, nullptr, SmartFolderRecord(level, hover));
            const CMyItem* made = CTreeNode::RecordOf(folder);
            if (made == nullptr) {
                return nullptr;
            }
            inheritedHover = made->GetHoverText();
            kDebugLog(u"::created SmartItem: 0x%08x (%s)\n", made->GetItemId(), pieces[i]);
        }
        path += level + record.SmartDelim;
        current = folder;
        if (topFolder == nullptr) {
            topFolder = folder;
        }
    }
    auto item = record.Clone();
    item->SetLabel(levels.back());
    QTreeWidgetItem* inserted = InsertItem(current, nullptr, std::move(item));
    return topFolder != nullptr ? topFolder : inserted;
}
