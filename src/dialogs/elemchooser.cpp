#include "dialogs/elemchooser.h"

#include "dialogs/chooserquery.h"
#include "dialogs/choosersite.h"
#include "dialogs/staticlink.h"
#include "frame/myview.h"
#include "framework/kformat.h"
#include "server/mysystem.h"
#include "settings/chooserfilters.h"
#include "settings/preferences.h"
#include "tree/treetexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <ctime>
#include <initializer_list>

namespace {

constexpr std::initializer_list<const char16_t*> kAgeEntries = {
    u"All",      u"1 hour",   u"2 hours", u"4 hours", u"8 hours",  u"1 day",    u"2 days",
    u"3 days",   u"1 week",   u"2 weeks", u"4 weeks", u"2 months", u"3 months", u"4 months",
    u"6 months", u"9 months", u"1 year",  u"2 years", u"3 years"};
constexpr std::initializer_list<const char16_t*> kAllYesNo = {u"All", u"Yes", u"No"};
// The grid's keyword lists switch the filters from this entry of the table
// on; the type and children pairs before it follow their own rules.
constexpr size_t kFirstPlainKeyword = 4;

template <typename Widget>
Widget* withId(Widget* widget, int id) {
    widget->setProperty("controlId", id);
    return widget;
}

QComboBox* makeCombo(QWidget* parent, int id, std::initializer_list<const char16_t*> entries) {
    auto* combo = withId(new QComboBox(parent), id);
    for (const char16_t* entry : entries) {
        const QString text = QString::fromUtf16(entry);
        combo->addItem(text, text);
    }
    return combo;
}

// A combo's entry chosen by the start of its text, ignoring case, as a
// restored value is matched; no match leaves the selection alone.
void selectByPrefix(QComboBox* combo, const QString& text) {
    for (int index = 0; index < combo->count(); ++index) {
        if (combo->itemText(index).startsWith(text, Qt::CaseInsensitive)) {
            combo->setCurrentIndex(index);
            return;
        }
    }
}

// "All" and the server's entries: shown by their id, sending their value.
void refill(QComboBox* combo, const std::vector<CFilterOptionItem>& items) {
    combo->clear();
    combo->addItem(QStringLiteral("All"), QStringLiteral("All"));
    for (const CFilterOptionItem& item : items) {
        combo->addItem(item.id, item.value);
    }
}

CChosenValue chosen(const QComboBox* combo) {
    return {combo->currentText(), combo->currentData().toString()};
}

}  // namespace

CElemChooser::CElemChooser(const QString& baseUrl, CMyView& view, QTreeWidgetItem* item,
                           CChooserSite& site, bool nodeMode)
    : CChooserPanel(nodeMode ? kNodeTemplate : kElementTemplate, baseUrl, view, item, site),
      m_nodeMode(nodeMode) {
    buildControls();
    m_header->setTitle(TranslatedResourceString(nodeMode ? 546 : 556));
    m_nameOrAlias->setVisible(!nodeMode);
    m_nodeLabel->setVisible(nodeMode);
    const QString namesTip = TranslatedResourceString(451);
    for (QWidget* edit : {static_cast<QWidget*>(m_name), static_cast<QWidget*>(m_system),
                          static_cast<QWidget*>(m_interface)}) {
        edit->setToolTip(namesTip);
    }
    m_ip->setToolTip(TranslatedResourceString(450));
    m_go->setToolTip(TranslatedResourceString(567));
    restoreState();
    applyAvailability();
    m_filterKeywords = {
        {m_typeNot, u"type"_qs},
        {m_type, u"type"_qs},
        {m_subcomponents, u"children"_qs},
        {m_children, u"children"_qs},
        {m_modifySign, u"modify"_qs},
        {m_modify, u"modify"_qs},
        {m_createSign, u"create"_qs},
        {m_create, u"create"_qs},
        {m_speedNot, u"speed"_qs},
        {m_speedSign, u"speed"_qs},
        {m_speed, u"speed"_qs},
        {m_nmsNot, u"nms"_qs},
        {m_nms, u"nms"_qs},
        {m_polling, u"polling"_qs},
        {m_monitor, u"monitor"_qs},
        {m_latency, u"latency"_qs},
        {m_system, u"system"_qs},
        {m_interface, u"interface"_qs},
        {m_ip, u"ip"_qs},
        {m_protocol, u"protocol"_qs},
    };
    OnShowHideAdvanced();
}

void CElemChooser::buildControls() {
    m_header = withId(new QGroupBox(this), 5604);
    m_nameOrAlias = makeCombo(this, 5580, {u"Name", u"Alias"});
    m_nodeLabel = withId(new QLabel(QStringLiteral("Node:"), this), 5605);
    m_name = withId(new QLineEdit(this), 5236);
    m_subcomponents = withId(new QCheckBox(QStringLiteral("Subcomponents:"), this), 5586);
    m_children = makeCombo(this, 5588, {u"Include", u"Exclude"});
    m_useAdvanced = withId(new QCheckBox(QStringLiteral("Use Advanced Filters"), this), 5618);
    m_show = withId(new QPushButton(QStringLiteral("Show"), this), 5607);
    m_show->setCheckable(true);
    m_show->setAutoDefault(false);
    withId(m_go, 5587);
    m_options = withId(new CStaticLink(QStringLiteral("Options"), this), 5636);

    m_advanced = withId(new QGroupBox(QStringLiteral(" Advanced Filters "), this), 5638);
    m_ip = withId(new QLineEdit(m_advanced), 5237);
    m_typeNot = withId(new QCheckBox(QStringLiteral("not"), m_advanced), 5065);
    m_type = makeCombo(m_advanced, 5594, {u"All"});
    m_modifySign = makeCombo(m_advanced, 5603, {u">", u"<"});
    m_modify = makeCombo(m_advanced, 5600, kAgeEntries);
    m_createSign = makeCombo(m_advanced, 5615, {u">", u"<"});
    m_create = makeCombo(m_advanced, 5601, kAgeEntries);
    m_speedNot = withId(new QCheckBox(QStringLiteral("not"), m_advanced), 5616);
    m_speedSign = makeCombo(m_advanced, 5602, {u"=", u">", u"<"});
    m_speed = makeCombo(m_advanced, 5599, {u"All", u"10 M", u"100 M", u"1 G", u"10 G"});
    m_nmsNot = withId(new QCheckBox(QStringLiteral("not"), m_advanced), 5608);
    m_nms = makeCombo(m_advanced, 5593, {u"All", u"Active", u"Deleted", u"Retired"});
    m_polling = makeCombo(m_advanced, 5596, kAllYesNo);
    m_monitor = makeCombo(m_advanced, 5595, kAllYesNo);
    m_latency = makeCombo(m_advanced, 5598, kAllYesNo);
    m_system = withId(new QLineEdit(m_advanced), 5024);
    m_interface = withId(new QLineEdit(m_advanced), 5025);
    m_protocol = makeCombo(m_advanced, 5620, kAllYesNo);
    m_protocolLabel = withId(new QLabel(QStringLiteral("Protocol:"), m_advanced), 5621);
    m_protocol->hide();
    m_protocolLabel->hide();

    // The pattern and Go on one row, its refinements on the next: in one
    // row they need more width than the right-hand view has beside a
    // World View, and the pattern edit would shrink to nothing.
    auto* patternRow = new QHBoxLayout;
    patternRow->addWidget(m_nameOrAlias);
    patternRow->addWidget(m_nodeLabel);
    m_name->setMinimumWidth(m_name->sizeHint().width());
    patternRow->addWidget(m_name, 1);
    patternRow->addWidget(m_go);
    patternRow->addWidget(m_options);
    auto* refineRow = new QHBoxLayout;
    refineRow->addWidget(m_subcomponents);
    refineRow->addWidget(m_children);
    refineRow->addSpacing(m_name->fontMetrics().averageCharWidth() * 4);
    refineRow->addWidget(m_useAdvanced);
    refineRow->addWidget(m_show);
    refineRow->addStretch(1);
    auto* headerRows = new QVBoxLayout(m_header);
    headerRows->addLayout(patternRow);
    headerRows->addLayout(refineRow);

    auto* grid = new QGridLayout(m_advanced);
    const auto label = [this](const char* text) {
        return new QLabel(QString::fromUtf8(text), m_advanced);
    };
    int row = 0;
    grid->addWidget(label("IP Address:"), row, 0);
    // As wide as the description edits below it.
    grid->addWidget(m_ip, row, 1, 1, 2);
    grid->addWidget(label("Element Type:"), row, 3);
    grid->addWidget(m_typeNot, row, 4);
    grid->addWidget(m_type, row, 5);
    ++row;
    grid->addWidget(label("Modify Time:"), row, 0);
    grid->addWidget(m_modifySign, row, 1);
    grid->addWidget(m_modify, row, 2);
    grid->addWidget(label("NMS State:"), row, 3);
    grid->addWidget(m_nmsNot, row, 4);
    grid->addWidget(m_nms, row, 5);
    ++row;
    grid->addWidget(label("Create Time:"), row, 0);
    grid->addWidget(m_createSign, row, 1);
    grid->addWidget(m_create, row, 2);
    grid->addWidget(label("Polling Enabled:"), row, 3);
    grid->addWidget(m_polling, row, 5);
    ++row;
    grid->addWidget(label("Speed:"), row, 0);
    auto* speedSign = new QHBoxLayout;
    speedSign->addWidget(m_speedNot);
    speedSign->addWidget(m_speedSign);
    grid->addLayout(speedSign, row, 1);
    grid->addWidget(m_speed, row, 2);
    grid->addWidget(label("Monitor in LE:"), row, 3);
    grid->addWidget(m_monitor, row, 5);
    ++row;
    grid->addWidget(label("System Description:"), row, 0);
    grid->addWidget(m_system, row, 1, 1, 2);
    grid->addWidget(label("Latency Partner Specified:"), row, 3);
    grid->addWidget(m_latency, row, 5);
    ++row;
    grid->addWidget(label("Interface Description:"), row, 0);
    grid->addWidget(m_interface, row, 1, 1, 2);
    ++row;
    grid->addWidget(m_protocolLabel, row, 0);
    grid->addWidget(m_protocol, row, 1, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_header);
    layout->addWidget(m_advanced);
    layout->addStretch(1);

    CleanOnChange(m_name, CleanNameText);
    CleanOnChange(m_ip, CleanIPText);
    connect(m_subcomponents, &QCheckBox::clicked, this, &CElemChooser::OnSubcomponents);
    connect(m_show, &QPushButton::clicked, this, &CElemChooser::OnShowHideAdvanced);
    connect(m_useAdvanced, &QCheckBox::clicked, this, &CElemChooser::OnUseAdvancedFilters);
    const auto onChoice = [this](QComboBox* combo, void (CElemChooser::*handler)()) {
        connect(combo, &QComboBox::currentIndexChanged, this, handler);
    };
    onChoice(m_nms, &CElemChooser::OnSelchangeNmsState);
    onChoice(m_type, &CElemChooser::OnSelchangeElementType);
    onChoice(m_modify, &CElemChooser::OnSelchangeModifyTime);
    onChoice(m_create, &CElemChooser::OnSelchangeCreateTime);
    onChoice(m_speed, &CElemChooser::OnSelchangeSpeed);
    connect(m_options, &CStaticLink::clicked, this,
            [this] { m_site.ShowOptionsDialog(CChooserSite::kAdvancedOptionsPage); });
}

QWidget* CElemChooser::Control(int id) const {
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        if (widget->property("controlId").toInt() == id) {
            return widget;
        }
    }
    return nullptr;
}

bool CElemChooser::AdvancedAvailable() const {
    if (m_nodeMode) {
        return false;
    }
    const CMySystem* system = SelectedSystem();
    return system != nullptr && const_cast<CMySystem*>(system)->GetFilterOptions().IsLoaded();
}

bool CElemChooser::baseNamesElementType() const {
    return BaseURL().contains(u"&ElementType=");
}

void CElemChooser::refillServerCombos() {
    CMySystem* system = SelectedSystem();
    if (system == nullptr) {
        return;
    }
    const CMyAdditionalFilterOptions& options = system->GetFilterOptions();
    refill(m_type, options.ElementTypes());
    refill(m_nms, options.States());
    refill(m_protocol, options.Protocols());
}

void CElemChooser::restoreState() {
    CElemChooserFilter filter;
    filter.advancedOffered = AdvancedAvailable();
    m_site.Prefs().RestoreElemChooserFilter(filter, ChooserPrefix(), SelectedItemLastCurl());
    if (filter.advancedOffered) {
        refillServerCombos();
    }
    applyFilter(filter);
    OnShowHideAdvanced();
    OnUseAdvancedFilters();
    OnSelchangeNmsState();
    OnSelchangeElementType();
    OnSelchangeModifyTime();
    OnSelchangeCreateTime();
    OnSelchangeSpeed();
}

void CElemChooser::applyFilter(const CElemChooserFilter& filter) {
    m_nameOrAlias->setCurrentIndex(filter.alias ? 1 : 0);
    m_name->setText(filter.name);
    m_ip->setText(filter.address);
    m_subcomponents->setChecked(filter.childrenChecked);
    m_children->setCurrentIndex(filter.childrenChecked ? filter.childrenChoice : 0);
    m_children->setEnabled(filter.childrenChecked);
    if (!filter.advancedOffered) {
        return;
    }
    m_useAdvanced->setChecked(filter.advancedUsed);
    m_show->setChecked(filter.advancedShown);
    selectByPrefix(m_type, filter.type);
    m_typeNot->setChecked(filter.typeNot);
    selectByPrefix(m_modify, filter.modified);
    selectByPrefix(m_modifySign, filter.modifiedSign);
    selectByPrefix(m_create, filter.created);
    selectByPrefix(m_createSign, filter.createdSign);
    selectByPrefix(m_speed, filter.speed);
    m_speedNot->setChecked(filter.speedNot);
    selectByPrefix(m_speedSign, filter.speedSign);
    selectByPrefix(m_nms, filter.serverGroup);
    m_nmsNot->setChecked(filter.serverGroupNot);
    selectByPrefix(m_polling, filter.polling);
    selectByPrefix(m_monitor, filter.live);
    selectByPrefix(m_latency, filter.latency);
    m_system->setText(filter.systemDescription);
    m_interface->setText(filter.interfaceDescription);
    selectByPrefix(m_protocol, filter.protocol);
}

CElemChooserFilter CElemChooser::readFilter() const {
    CElemChooserFilter filter;
    filter.alias = m_nameOrAlias->currentIndex() != 0;
    filter.name = m_name->text();
    filter.address = m_ip->text();
    filter.childrenChecked = m_subcomponents->isChecked();
    filter.childrenChoice = m_children->currentIndex();
    filter.advancedOffered = AdvancedAvailable();
    filter.advancedShown = m_show->isChecked();
    filter.advancedUsed = m_useAdvanced->isChecked();
    filter.type = m_type->currentText();
    filter.typeNot = m_typeNot->isChecked();
    filter.modified = m_modify->currentText();
    filter.modifiedSign = m_modifySign->currentText();
    filter.created = m_create->currentText();
    filter.createdSign = m_createSign->currentText();
    filter.speed = m_speed->currentText();
    filter.speedNot = m_speedNot->isChecked();
    filter.speedSign = m_speedSign->currentText();
    filter.serverGroup = m_nms->currentText();
    filter.serverGroupNot = m_nmsNot->isChecked();
    filter.polling = m_polling->currentText();
    filter.live = m_monitor->currentText();
    filter.latency = m_latency->currentText();
    filter.systemDescription = m_system->text();
    filter.interfaceDescription = m_interface->text();
    filter.protocol = m_protocol->currentText();
    return filter;
}

void CElemChooser::applyAvailability() {
    if (!AdvancedAvailable()) {
        m_useAdvanced->hide();
        m_show->hide();
        const bool children = !m_nodeMode && !baseNamesElementType();
        m_subcomponents->setVisible(children);
        m_children->setVisible(children);
        return;
    }
    OnUseAdvancedFilters();
    m_useAdvanced->show();
    m_show->show();
    m_nmsNot->setEnabled(m_nms->currentIndex() != 0);
    m_typeNot->setEnabled(m_type->currentIndex() != 0);
    m_modifySign->setEnabled(m_modify->currentIndex() != 0);
    m_createSign->setEnabled(m_create->currentIndex() != 0);
    OnSelchangeSpeed();
    const bool typeFree = !baseNamesElementType();
    setTypeControlsEnabled(typeFree);
    setChildrenControlsEnabled(typeFree);
}

void CElemChooser::setTypeControlsEnabled(bool enabled) {
    m_type->setEnabled(enabled);
    m_typeNot->setEnabled(enabled);
}

void CElemChooser::setChildrenControlsEnabled(bool enabled) {
    m_subcomponents->setEnabled(enabled);
    m_children->setEnabled(enabled);
}

void CElemChooser::OnSubcomponents() {
    m_children->setEnabled(m_subcomponents->isChecked());
}

void CElemChooser::OnSelchangeNmsState() {
    m_nmsNot->setEnabled(m_nms->currentIndex() != 0);
}

void CElemChooser::OnSelchangeElementType() {
    m_typeNot->setEnabled(m_type->currentIndex() != 0);
}

void CElemChooser::OnSelchangeModifyTime() {
    m_modifySign->setEnabled(m_modify->currentIndex() != 0);
}

void CElemChooser::OnSelchangeCreateTime() {
    m_createSign->setEnabled(m_create->currentIndex() != 0);
}

void CElemChooser::OnSelchangeSpeed() {
    const bool chosen = m_speed->currentIndex() != 0;
    m_speedSign->setEnabled(chosen);
    m_speedNot->setEnabled(chosen);
}

void CElemChooser::OnUseAdvancedFilters() {
    const bool wasShown = m_show->isChecked();
    const bool used = m_useAdvanced->isChecked();
    m_show->setChecked(wasShown && used);
    if (wasShown && !used) {
        OnShowHideAdvanced();
    }
    m_show->setEnabled(used);
}

void CElemChooser::OnShowHideAdvanced() {
    const bool shown = m_show->isChecked();
    m_show->setText(shown ? QStringLiteral("Hide") : QStringLiteral("Show"));
    // The group grows with the Protocol row when that row shows.
    m_advanced->setVisible(shown);
    updateGeometry();
    m_view.RecalcLayout();
}

QString CElemChooser::BuildQuery() {
    m_name->setText(CleanNameText(m_name->text()));
    m_ip->setText(CleanIPText(m_ip->text()));
    CElemQueryInput input;
    input.nodeMode = m_nodeMode;
    input.alias = m_nameOrAlias->currentIndex() != 0;
    input.name = m_name->text();
    input.childrenChecked = m_subcomponents->isChecked();
    input.childrenIndex = m_children->currentIndex();
    input.advanced = !m_useAdvanced->isHidden() && m_useAdvanced->isChecked();
    if (input.advanced) {
        input.nmsState = chosen(m_nms);
        input.nmsNot = m_nmsNot->isChecked();
        input.elementType = chosen(m_type);
        input.typeNot = m_typeNot->isChecked();
        input.monitorInLE = m_monitor->currentText();
        input.pollingEnabled = m_polling->currentText();
        input.latencyPartner = m_latency->currentText();
        input.speed = m_speed->currentText();
        input.speedNot = m_speedNot->isChecked();
        input.speedSign = m_speedSign->currentText();
        input.modifyTime = m_modify->currentText();
        input.modifySign = m_modifySign->currentText();
        input.createTime = m_create->currentText();
        input.createSign = m_createSign->currentText();
        input.systemDescription = m_system->text();
        input.interfaceDescription = m_interface->text();
        input.protocol = chosen(m_protocol);
        input.ipAddress = m_ip->text();
    }
    input.chunkQuery = ChunkQuery();
    return BuildElemQuery(input, std::time(nullptr));
}

QString CElemChooser::RequestURL(const QString& query) const {
    if (BaseURL().isEmpty()) {
        return kFormat(u"/cmi/Services?Action=GetElements&FieldChooser=elements%s", query);
    }
    return BaseURL() + query;
}

void CElemChooser::SaveState(const QString& prefix) {
    m_site.Prefs().SaveElemChooserFilter(readFilter(), prefix);
}

void CElemChooser::AfterGo() {
    // Re-applies the "&ElementType=" rule and the layout.
    DisableAdvancedFilters({});
    UnhideAdvancedFilters({});
}

void CElemChooser::DisableAdvancedFilters(const QString& list) {
    const QString lowered = list.toLower();
    if (m_typeNot->isEnabled() && (baseNamesElementType() || lowered.contains(u"type"))) {
        setTypeControlsEnabled(false);
    }
    if (m_subcomponents->isEnabled() && (baseNamesElementType() || lowered.contains(u"children"))) {
        setChildrenControlsEnabled(false);
    }
    for (size_t index = kFirstPlainKeyword; index < m_filterKeywords.size(); ++index) {
        const auto& [control, keyword] = m_filterKeywords[index];
        if (control->isEnabled() && lowered.contains(keyword)) {
            control->setEnabled(false);
        }
    }
}

void CElemChooser::EnableAdvancedFilters(const QString& list) {
    const QString lowered = list.toLower();
    if (!m_typeNot->isEnabled() && !baseNamesElementType() && lowered.contains(u"type")) {
        setTypeControlsEnabled(true);
    }
    if (!m_subcomponents->isEnabled() && !baseNamesElementType() && lowered.contains(u"children")) {
        setChildrenControlsEnabled(true);
    }
    for (size_t index = kFirstPlainKeyword; index < m_filterKeywords.size(); ++index) {
        const auto& [control, keyword] = m_filterKeywords[index];
        if (!control->isEnabled() && lowered.contains(keyword)) {
            control->setEnabled(true);
        }
    }
}

void CElemChooser::UnhideAdvancedFilters(const QString& list) {
    if (m_protocol->isHidden() && list.toLower().contains(u"protocol")) {
        m_protocol->show();
        m_protocolLabel->show();
    }
    OnShowHideAdvanced();
}

void CElemChooser::GridFilterCommand(const QString& command, const QString& text) {
    if (command == u"disable_advanced_filters") {
        DisableAdvancedFilters(text);
    } else if (command == u"enable_advanced_filters") {
        EnableAdvancedFilters(text);
    } else if (command == u"unhide_advanced_filters") {
        UnhideAdvancedFilters(text);
    }
}
