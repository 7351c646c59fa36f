#pragma once

// What the element chooser and the job chooser show, as plain values, so
// their state can be kept in the preferences and put back without the panels'
// controls. Each chooser maps its controls to and from these records.

#include <QString>

#include <array>

struct CElemChooserFilter {
    // The name-or-alias selector on its second entry: the name filter
    // matches aliases.
    bool alias = false;
    QString name;
    QString address;
    // The children box, and its selector: 0 include, 1 exclude, any other
    // entry neither.
    bool childrenChecked = false;
    int childrenChoice = 0;

    // Whether the chooser offers advanced filters just now (element mode and
    // a server that supplied its filter vocabulary): only then are the
    // advanced values kept and put back.
    bool advancedOffered = false;
    bool advancedShown = false;
    bool advancedUsed = false;
    QString type = QStringLiteral("All");
    bool typeNot = false;
    QString modified = QStringLiteral("All");
    QString modifiedSign = QStringLiteral(">");
    QString created = QStringLiteral("All");
    QString createdSign = QStringLiteral(">");
    QString speed = QStringLiteral("All");
    bool speedNot = false;
    QString speedSign = QStringLiteral("=");
    QString serverGroup = QStringLiteral("All");
    bool serverGroupNot = false;
    QString polling = QStringLiteral("All");
    QString live = QStringLiteral("All");
    QString latency = QStringLiteral("All");
    QString systemDescription = QStringLiteral("*");
    QString interfaceDescription = QStringLiteral("*");
    QString protocol = QStringLiteral("All");

    friend bool operator==(const CElemChooserFilter&, const CElemChooserFilter&) = default;
};

struct CJobChooserFilter {
    int status = 0;
    QString subject;
    // The day boxes, Sunday first.
    std::array<int, 7> days{};
    int monthly = 0;

    friend bool operator==(const CJobChooserFilter&, const CJobChooserFilter&) = default;
};
