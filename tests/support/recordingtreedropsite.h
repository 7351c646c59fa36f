#pragma once

#include "framework/kprops.h"
#include "tree/treedragdrop.h"

#include <QStringList>
#include <QTreeWidgetItem>

#include <vector>

// The World View pane around its drags and drops while a test runs: drop
// actions, expansions, deletions and pastes of server files are recorded,
// the grid's drag type and the answer to the save question are what the
// test sets. An expanded item opens, as the pane's own does.
class RecordingTreeDropSite : public CTreeDropSite {
public:
    struct Run {
        // "name=value" of each action, in order.
        QStringList actions;
        int context = 0;
    };

    void RunActions(const KPROPS& actions, int context) override {
        QStringList texts;
        for (int i = 0; i < actions.Count(); ++i) {
            texts << actions.GetNameAt(i) + u'=' + actions.GetValueAt(i);
        }
        runs.push_back({texts, context});
    }
    QString GridDragType() const override { return gridDragType; }
    void ExpandItem(QTreeWidgetItem* item) override {
        expanded.push_back(item);
        if (item != nullptr) {
            item->setExpanded(true);
        }
    }
    void DeleteObjects(QTreeWidgetItem* item) override { deleted.push_back(item); }
    void PasteObjects(QTreeWidgetItem* target, const ClipboardHeader&) override {
        pastedOnto = target;
    }
    bool AskToSaveChanges() override {
        ++saveQuestions;
        return saveAnswer;
    }

    // What the test sets.
    QString gridDragType;
    bool saveAnswer = true;

    // What was asked.
    std::vector<Run> runs;
    std::vector<QTreeWidgetItem*> expanded;
    std::vector<QTreeWidgetItem*> deleted;
    QTreeWidgetItem* pastedOnto = nullptr;
    int saveQuestions = 0;
};
