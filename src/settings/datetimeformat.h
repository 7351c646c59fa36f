#pragma once

// How the console shows times, dates, durations, poll rates, byte counts,
// rates and Unix file modes, and the date and time parameters it adds to
// every server URL so the server formats times the user's way. The date and
// time formats are strftime formats the user chose in the options dialog and
// stored in the preferences ("TimeFormat", "DateFormat", "DateTime" and the
// combined-format keys).
//
// UI thread for the operations that read the preferences; the others may run
// anywhere.

#include <QString>

#include <ctime>

class CPreferences;
class QComboBox;

// The local time of the moment (0 = now) in a strftime format. Empty for an
// empty format and for a result of 50 characters or more.
QString FormatLocalTime(const QString& format, std::time_t moment);

// With "TimeFormat" (read default "%X").
QString FormatTime(const CPreferences& prefs, std::time_t moment = 0);
// With "DateFormat" (read default "%x").
QString FormatDate(const CPreferences& prefs, std::time_t moment = 0);
// "DateFormatDF" and "TimeFormatDF" when "DateTime" is "DateFirst" (the
// default), else "TimeFormatTF" and "DateFormatTF", joined by a blank.
QString FormatDateTime(const CPreferences& prefs, std::time_t moment = 0);

// A duration in years, weeks (or, in mode 2, months), days, hours, minutes
// and seconds, with the unit words of the language pack:
//   mode 0: every non-zero unit ("1 hour, 1 sec"); no time gives "1 sec";
//   mode 1: the largest non-zero unit and the next one when non-zero
//           ("1 day, 1 hour"); no time gives "0 secs";
//   mode 2: the largest non-zero unit alone ("1 month"); no time gives "".
// The count is taken as a signed 32-bit number.
QString FormatSeconds(qint64 seconds, int mode);
// A time of day on a 12-hour clock, "01:05 PM". Seconds outside the day show
// as hour 00 AM.
QString FormatTimeOfDay(qint64 seconds);
// "2 hours", "1 hour 5 min", "1.5 min" (exactly 30 seconds), "4 min" (other
// seconds dropped).
QString FormatPollRate(int seconds);
// In GB, MB or KB from 2 of the unit upward, else in bytes: "2 MB", "1536 B".
QString FormatBytes(qint64 bytes);
// In decimal steps: "2K", "1.5M", "10G", "999B"; 0 gives "".
QString FormatSpeed(qint64 rate);
// "drwxr-xr-x-": type, owner, group, others and a last "t" for the sticky
// bit. When a set-id or sticky letter is written and `specialBits` is given,
// it is set to 16.
QString FormatFileMode(unsigned mode, int* specialBits = nullptr);

// Empty the combo and fill it with now in every allowed format, in list
// order, each item holding its format as data; selects the last item whose
// format equals the value stored under `key`, else item 0. Returns the count.
int FillDateFormatCombo(const CPreferences& prefs, QComboBox* combo, const QString& key);
int FillTimeFormatCombo(const CPreferences& prefs, QComboBox* combo, const QString& key);

// Adds "datefs=", "timefs=" and "datetime=" query parameters to a server URL
// (before any "#fragment"). URLs that are empty or hold "about:blank",
// "curl:", "javascript:", "(" or "file:" are left alone. An empty date or
// time format leaves its parameter out; "datetime=" goes with the date
// format. Returns 1 when anything was added.
int AddDateTimeParams(const CPreferences& prefs, QString& url);
