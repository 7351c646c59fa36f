#include "grid/repeatedtexts.h"

QString CRepeatedTexts::Take(int column, QStringView text, const QString* owned) {
    auto fresh = [&] { return owned != nullptr ? *owned : text.toString(); };
    if (column < 0 || text.isEmpty()) {
        return fresh();
    }
    if (static_cast<std::size_t>(column) >= m_columns.size()) {
        m_columns.resize(static_cast<std::size_t>(column) + 1);
    }
    Column& entry = m_columns[static_cast<std::size_t>(column)];
    if (!entry.repeats) {
        return fresh();
    }
    ++entry.lookups;
    if (const auto known = entry.texts.find(text); known != entry.texts.end()) {
        ++entry.found;
        return *known;
    }
    if (entry.lookups >= kTrialLookups &&
        entry.found * 100 < entry.lookups * kTrialFoundPercent) {
        // The cells keep the strings: only the column's own hold goes.
        entry.repeats = false;
        entry.texts = {};
        return fresh();
    }
    QString made = fresh();
    if (entry.texts.size() < kMostTexts) {
        entry.texts.insert(made);
    }
    return made;
}
