// The choosers' state in the preferences: the element chooser's and the job
// chooser's last query under each chooser's own key prefix, and the grid
// field chooser's column lists per grid.

#include "framework/kformat.h"
#include "settings/chooserfilters.h"
#include "settings/preferences.h"

#include <variant>

namespace {

using ElemFilterField = std::variant<QString CElemChooserFilter::*, bool CElemChooserFilter::*>;

struct ElemFilterKey {
    const char16_t* suffix;
    ElemFilterField field;
};

// The advanced filters' keys, in the order they are written.
const ElemFilterKey kAdvancedFilterKeys[] = {
    {u"-AFilter_show", &CElemChooserFilter::advancedShown},
    {u"-AFilter_use", &CElemChooserFilter::advancedUsed},
    {u"-AFilter_type", &CElemChooserFilter::type},
    {u"-AFilter_typenot", &CElemChooserFilter::typeNot},
    {u"-AFilter_modif", &CElemChooserFilter::modified},
    {u"-AFilter_modifsign", &CElemChooserFilter::modifiedSign},
    {u"-AFilter_create", &CElemChooserFilter::created},
    {u"-AFilter_createsign", &CElemChooserFilter::createdSign},
    {u"-AFilter_speed", &CElemChooserFilter::speed},
    {u"-AFilter_speednot", &CElemChooserFilter::speedNot},
    {u"-AFilter_speedsign", &CElemChooserFilter::speedSign},
    {u"-AFilter_NMS", &CElemChooserFilter::serverGroup},
    {u"-AFilter_NMSnot", &CElemChooserFilter::serverGroupNot},
    {u"-AFilter_Poll", &CElemChooserFilter::polling},
    {u"-AFilter_live", &CElemChooserFilter::live},
    {u"-AFilter_altlat", &CElemChooserFilter::latency},
    {u"-AFilter_sys", &CElemChooserFilter::systemDescription},
    {u"-AFilter_if", &CElemChooserFilter::interfaceDescription},
    {u"-AFilter_prot", &CElemChooserFilter::protocol},
};

// The job chooser's day keys in the order they are written (Wednesday after
// Thursday, as the stored files have them), with their day, Sunday 0.
struct JobDayKey {
    const char16_t* suffix;
    int day;
};
constexpr JobDayKey kJobDayKeys[] = {{u"-Sun", 0}, {u"-Mon", 1}, {u"-Tue", 2}, {u"-Thu", 4},
                                     {u"-Wed", 3}, {u"-Fri", 5}, {u"-Sat", 6}};

QString chooserKey(const QString& prefix, QStringView suffix) {
    return prefix + suffix.toString();
}

QString flagText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

QString fieldKey(const QString& grid, const QString& column) {
    return kFormat(u"grid:%s/%s", grid, column);
}

}  // namespace

int CPreferences::SaveElemChooserFilter(const CElemChooserFilter& filter, const QString& prefix) {
    SetString(chooserKey(prefix, u"-NameOrAlias"),
              filter.alias ? QStringLiteral("alias") : QStringLiteral("name"));
    SetString(chooserKey(prefix, u"-Name"), filter.name);
    SetString(chooserKey(prefix, u"-IP"), filter.address);
    QString children = QStringLiteral("n/a");
    if (filter.childrenChecked && filter.childrenChoice == 0) {
        children = QStringLiteral("include");
    } else if (filter.childrenChecked && filter.childrenChoice == 1) {
        children = QStringLiteral("exclude");
    }
    SetString(chooserKey(prefix, u"-Children"), children);
    if (filter.advancedOffered) {
        for (const ElemFilterKey& key : kAdvancedFilterKeys) {
            const QString name = chooserKey(prefix, key.suffix);
            if (const auto* text = std::get_if<QString CElemChooserFilter::*>(&key.field)) {
                SetString(name, filter.*(*text));
            } else {
                SetString(name, flagText(filter.*std::get<bool CElemChooserFilter::*>(key.field)));
            }
        }
    }
    return SavePrefs(0);
}

int CPreferences::RestoreElemChooserFilter(CElemChooserFilter& filter, const QString& prefix,
                                           const QString& curlParameters) const {
    std::vector<KNVP> pairs;
    ParseEncodedPairs(curlParameters, pairs, 50, u'&', u'=');
    const auto curl = [&pairs](QStringView name) {
        for (const KNVP& pair : pairs) {
            if (pair.name == name) {
                return pair.value;
            }
        }
        return QString();
    };
    const auto starIfEmpty = [](const QString& text) {
        return text.isEmpty() ? QStringLiteral("*") : text;
    };

    const QString nameOrAlias =
        GetString(chooserKey(prefix, u"-NameOrAlias"), QStringLiteral("name")).toLower();
    if (nameOrAlias == u"name" || nameOrAlias == u"alias") {
        filter.alias = nameOrAlias == u"alias";
        filter.name = starIfEmpty(
            GetString(chooserKey(prefix, u"-Name"), curl(filter.alias ? u"Alias" : u"Name")));
    }
    filter.address = starIfEmpty(GetString(chooserKey(prefix, u"-IP"), curl(u"IPAddress")));
    const QString children =
        GetString(chooserKey(prefix, u"-Children"), curl(u"Children")).toLower();
    filter.childrenChecked = children == u"include" || children == u"exclude";
    if (filter.childrenChecked) {
        filter.childrenChoice = children == u"include" ? 0 : 1;
    }

    if (filter.advancedOffered) {
        const CElemChooserFilter defaults;
        for (const ElemFilterKey& key : kAdvancedFilterKeys) {
            const QString name = chooserKey(prefix, key.suffix);
            if (const auto* text = std::get_if<QString CElemChooserFilter::*>(&key.field)) {
                filter.*(*text) = GetString(name, defaults.*(*text));
            } else {
                filter.*std::get<bool CElemChooserFilter::*>(key.field) =
                    GetString(name, QStringLiteral("0")) == u"1";
            }
        }
    }
    return 1;
}

int CPreferences::SaveJobChooserFilter(const CJobChooserFilter& filter, const QString& prefix) {
    SetInt(chooserKey(prefix, u"-Status"), filter.status);
    SetString(chooserKey(prefix, u"-Subject"), filter.subject);
    for (const JobDayKey& key : kJobDayKeys) {
        SetInt(chooserKey(prefix, key.suffix), filter.days[static_cast<size_t>(key.day)]);
    }
    SetInt(chooserKey(prefix, u"-Monthly"), filter.monthly);
    return SavePrefs(0);
}

int CPreferences::RestoreJobChooserFilter(CJobChooserFilter& filter, const QString& prefix) const {
    // A chooser never used before shows every job of every day.
    filter.status = GetInt(chooserKey(prefix, u"-Status"), 0);
    filter.subject = GetString(chooserKey(prefix, u"-Subject"), QStringLiteral("*"));
    for (const JobDayKey& key : kJobDayKeys) {
        filter.days[static_cast<size_t>(key.day)] = GetInt(chooserKey(prefix, key.suffix), 1);
    }
    filter.monthly = GetInt(chooserKey(prefix, u"-Monthly"), 1);
    return 1;
}

void CPreferences::SaveFieldChooserColumns(const QString& grid, const QStringList& columns) {
    for (qsizetype i = 0; i < columns.size(); ++i) {
        SetInt(fieldKey(grid, columns[i]), static_cast<int>(i + 1));
    }
    SetFieldChooserColumns(grid, columns.join(u','));
}

void CPreferences::SetFieldChooserColumns(const QString& grid, const QString& columns) {
    SetString(QStringLiteral("FieldChooser:") + grid, columns);
}
