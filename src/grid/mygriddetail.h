#pragma once

// What the data grid's own source files share and no caller of the grid
// needs: the event its handlers take, the status-bar panes, preference reads.

#include "framework/kprops.h"
#include "grid/mygrid.h"
#include "server/mysystemsite.h"
#include "settings/preferences.h"

#include <QString>
#include <QStringView>

#include <utility>
#include <vector>

namespace mygrid_detail {

// Status-bar panes of the row count and of the timing or stop text.
inline constexpr int kRowCountPane = 32811;
inline constexpr int kTimingPane = 32812;

inline CPreferences* gridPrefs() {
    return MySystemSite().Preferences();
}

inline int prefInt(const QString& key, int defaultValue) {
    const CPreferences* prefs = gridPrefs();
    return prefs != nullptr ? prefs->GetInt(key, defaultValue) : defaultValue;
}

inline QString menuNameOf(QStringView menu) {
    QString name = menu.toString();
    name.remove(QStringLiteral(".menu"));
    return name;
}

}  // namespace mygrid_detail

// One start or end event, from the parser (attributes in a KPROPS) or from
// the pipe (views into its block).
struct CMyGrid::Event {
    bool start = true;
    QStringView name;
    QStringView text;
    // The same text as a string of its own, when the caller has one: a cell
    // then shares it rather than copying it.
    const QString* ownedText = nullptr;
    QStringView parent;
    const KPROPS* props = nullptr;
    const std::vector<std::pair<QStringView, QStringView>>* views = nullptr;

    // The attribute's value; `holder` keeps a value that a KPROPS hands out.
    QStringView attribute(QStringView attributeName, QString& holder) const {
        if (props != nullptr) {
            holder = props->GetValue(attributeName.toString());
            return holder;
        }
        if (views != nullptr) {
            for (const auto& [key, value] : *views) {
                if (key == attributeName) {
                    return value;
                }
            }
        }
        return {};
    }
    QString attribute(QStringView attributeName) const {
        QString holder;
        return attribute(attributeName, holder).toString();
    }
};
