#pragma once

// The texts the element and job choosers send: the cleaning of what the
// user types, the query grammars, sign codes and the cut-off times of the
// age filters. Plain functions of their inputs, so every rule can be
// checked without a window.

#include <QString>

#include <array>
#include <ctime>

// Removes control characters, spaces and the characters the server's
// name patterns cannot hold; '*' stays as the wildcard.
QString CleanNameText(const QString& text);
// Keeps what an IPv4 or IPv6 pattern holds: digits, '*', '.', ':' and the
// hexadecimal letters, upper-cased.
QString CleanIPText(const QString& text);

// "1" for "=", "2" for ">", "3" for "<", "wrong_sign" for anything else.
QString GetSignCode(const QString& sign);
// Seconds back from `now` to the same local time `years` and `months`
// earlier (a day that the target month lacks rolls over).
qint64 CalendarSpan(int years, int months, std::time_t now);
// The cut-off of an age filter ("2 days", "1 year"...): now less the age,
// in seconds since 1970; an unknown age gives now.
qint64 CutOffTime(const QString& age, std::time_t now);

// An advanced filter whose combo offers server values: the text shown and
// the value the server attached to it.
struct CChosenValue {
    QString text;
    QString value;
};

// What the element chooser's controls hold when Go builds its query.
struct CElemQueryInput {
    bool nodeMode = false;
    bool alias = false;
    QString name;
    bool childrenChecked = false;
    int childrenIndex = 0;  // -1: no selection
    // "Use Advanced Filters" shown and checked.
    bool advanced = false;
    CChosenValue nmsState;
    bool nmsNot = false;
    CChosenValue elementType;
    bool typeNot = false;
    QString monitorInLE;
    QString pollingEnabled;
    QString latencyPartner;
    QString speed;
    bool speedNot = false;
    QString speedSign;
    QString modifyTime;
    QString modifySign;
    QString createTime;
    QString createSign;
    QString systemDescription;
    QString interfaceDescription;
    CChosenValue protocol;
    QString ipAddress;
    // The navigator's paging suffix, empty without a navigator.
    QString chunkQuery;
};

QString BuildElemQuery(const CElemQueryInput& input, std::time_t now);

// What the job chooser's controls hold.
struct CJobQueryInput {
    // Sunday first.
    std::array<bool, 7> days{};
    bool monthly = false;
    int enabledIndex = 0;  // 0 all, 1 no, 2 yes, -1 no selection
    QString subject;
    QString chunkQuery;
};

QString BuildJobQuery(const CJobQueryInput& input);
