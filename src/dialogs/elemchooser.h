#pragma once

// The search panel above the grid of elements (or, in node mode, of
// nodes): a name pattern, the subcomponent choice and, when the server
// supplied its filter lists, the advanced filters. Go loads the server's
// list into the grid; the grid's reply can switch single filters off, on,
// or show the hidden Protocol row.

#include "dialogs/chooserpanel.h"

#include <QString>

#include <utility>
#include <vector>

class CStaticLink;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
struct CElemChooserFilter;
struct CFilterOptionItem;

class CElemChooser : public CChooserPanel {
    Q_OBJECT
public:
    static constexpr int kElementTemplate = 302;
    static constexpr int kNodeTemplate = 303;

    CElemChooser(const QString& baseUrl, CMyView& view, QTreeWidgetItem* item, CChooserSite& site,
                 bool nodeMode);

    QString BuildQuery() override;
    void DisableAdvancedFilters(const QString& list);
    void EnableAdvancedFilters(const QString& list);
    void UnhideAdvancedFilters(const QString& list);
    void GridFilterCommand(const QString& command, const QString& text) override;

    void OnSubcomponents();
    void OnShowHideAdvanced();
    void OnUseAdvancedFilters();
    void OnSelchangeNmsState();
    void OnSelchangeElementType();
    void OnSelchangeModifyTime();
    void OnSelchangeCreateTime();
    void OnSelchangeSpeed();

    // Whether the advanced filters are offered: element mode and a server
    // that sent its filter lists.
    bool AdvancedAvailable() const;
    // A control of the panel by its id, null for another id.
    QWidget* Control(int id) const;

protected:
    void SaveState(const QString& prefix) override;
    QString RequestURL(const QString& query) const override;
    void AfterGo() override;

private:
    void buildControls();
    void restoreState();
    void applyFilter(const CElemChooserFilter& filter);
    CElemChooserFilter readFilter() const;
    void refillServerCombos();
    void applyAvailability();
    bool baseNamesElementType() const;
    void setTypeControlsEnabled(bool enabled);
    void setChildrenControlsEnabled(bool enabled);

    bool m_nodeMode;
    QGroupBox* m_header;
    QComboBox* m_nameOrAlias;
    QLabel* m_nodeLabel;
    QLineEdit* m_name;
    QCheckBox* m_subcomponents;
    QComboBox* m_children;
    QCheckBox* m_useAdvanced;
    QPushButton* m_show;
    CStaticLink* m_options;
    QGroupBox* m_advanced;
    QLineEdit* m_ip;
    QCheckBox* m_typeNot;
    QComboBox* m_type;
    QComboBox* m_modifySign;
    QComboBox* m_modify;
    QComboBox* m_createSign;
    QComboBox* m_create;
    QCheckBox* m_speedNot;
    QComboBox* m_speedSign;
    QComboBox* m_speed;
    QCheckBox* m_nmsNot;
    QComboBox* m_nms;
    QComboBox* m_polling;
    QComboBox* m_monitor;
    QComboBox* m_latency;
    QLineEdit* m_system;
    QLineEdit* m_interface;
    QComboBox* m_protocol;
    QLabel* m_protocolLabel;
    // The filters the grid's reply can switch, by keyword, in table order.
    std::vector<std::pair<QWidget*, QString>> m_filterKeywords;
};
