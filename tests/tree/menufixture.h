#pragma once

// What the server-menu tests stand in for: a grid whose selected rows hold
// given column values, the recording menu host, and a command-id table under
// one server.

#include "support/recordingcontextmenuhost.h"
#include "support/recordingwireservices.h"
#include "tree/contextmenuitem.h"
#include "tree/menugridrows.h"
#include "tree/myitem.h"
#include "ui/menucommandids.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <map>
#include <vector>

class FakeGridRows : public CMenuGridRows {
public:
    // The selected rows, each a map of column name to text.
    std::vector<std::map<QString, QString>> rows;

    int GetSelectedRowCount() const override { return static_cast<int>(rows.size()); }
    QString GetSelectedRowsByColName(const QString& column, int& count, int most) const override {
        QStringList seen;
        for (const auto& row : rows) {
            for (const auto& [name, text] : row) {
                if (name.compare(column, Qt::CaseInsensitive) == 0 && !seen.contains(text) &&
                    (most <= 0 || seen.size() < most)) {
                    seen << text;
                }
            }
        }
        count = static_cast<int>(seen.size());
        return seen.isEmpty() ? QString() : u',' + seen.join(u',');
    }
    QString GetSelectedRowsByColProp(const QString&, const QString& separator) const override {
        return keys.join(separator);
    }
    int GetCellRangeRowCount() const override { return rowCount; }
    int GetPropertiesMenuItem() const override { return propertiesItem; }
    void SetPropertiesMenuItem(int commandId) override { propertiesItem = commandId; }
    bool IsDetailHidden() const override { return detailHidden; }
    void ClearDetailHidden() override { detailHidden = false; }
    bool IsOpeningProperties() const override { return false; }
    void SaveColumnPrefs() override { ++columnPrefsSaved; }

    // The "[PKEY]" values of the selected rows, the whole grid's rows.
    QStringList keys;
    int rowCount = 1;
    int propertiesItem = 0;
    bool detailHidden = false;
    int columnPrefsSaved = 0;
};

class MenuTest : public ::testing::Test {
protected:
    static constexpr quint64 kServer = 77;

    CContextMenuItem& makeItem(
        std::initializer_list<std::pair<const char16_t*, const char16_t*>> attributes) {
        items.push_back(std::make_unique<CContextMenuItem>(ids));
        for (const auto& [name, value] : attributes) {
            items.back()->SetAttribute(QString::fromUtf16(name), QString::fromUtf16(value));
        }
        return *items.back();
    }

    RecordingWireServices services;
    RecordingContextMenuHost host;
    CMenuCommandIds table;
    CMenuCommandSource ids{&table, kServer};
    std::vector<std::unique_ptr<CContextMenuItem>> items;
};
