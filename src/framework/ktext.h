#pragma once

// The framework's text utilities: copying, trimming, splitting and decoding
// texts, and reading numbers from them. Functions that take a QString& change
// it in place and return it.

#include <QString>
#include <QStringList>
#include <QStringView>

#include <span>
#include <vector>

// One name/value pair of a decoded query text.
struct KNVP {
    QString name;
    QString value;
};

// Keeps at most size - 1 characters of the source, as a C copy into a buffer
// of that size would; a size of 1 gives the empty text, 0 leaves the target.
QString& kstrncpy(QString& target, QStringView source, qsizetype size);
// Turns A to Z into a to z; other characters stay.
QString& kstrlwr(QString& text);
// The text from its first character that is not a tab, line feed, carriage
// return or blank.
QStringView kSkipWhitespace(QStringView text);
// Removes trailing tabs, line feeds, carriage returns and blanks; with
// alsoNonAlphanumerics every trailing character that is not a letter or digit.
QString& kTrimRight(QString& text, bool alsoNonAlphanumerics = false);
QString& kReplaceChar(QString& text, QChar oldChar, QChar newChar);
int kCountChar(QStringView text, QChar c);
// The source without the characters of the set, cut to size - 1 characters
// when size is not 0.
QString kStripChars(QStringView source, QStringView characters, qsizetype size = 0);
// The text whole when it has at most `limit` characters (limit > 1); else its
// start with an ellipsis ("…") as the last of `limit` characters. A cut
// never splits a surrogate pair.
QString kElided(QStringView text, qsizetype limit);
// 1 when the text equals one entry of the list exactly; 0 for a null text.
int kInList(QStringView text, const QStringList& list);
// 1 when the item is a whole element of the list delimited by the character.
int kInDelimitedList(QStringView item, QStringView list, QChar delimiter);

// Splits the text at each delimiter into at most `maximum` elements (the last
// keeps the rest, delimiters included) and returns their number; 0 for an
// empty text. With trim, blanks around the elements are dropped.
int kParseDelimedList(QStringView text, QStringList& elements, int maximum, QChar delimiter,
                      bool trim);
int kParseDelimedListStr(QStringView text, QStringList& elements, int maximum,
                         QStringView delimiter, bool trim);

// Splits a query text such as "a=1&b=x+y%21" into at most `maximum` decoded
// pairs (plus2space, then webgoop) and returns their number. The text itself
// is not changed.
int kParseNameValuePairs(QStringView text, std::vector<KNVP>& pairs, int maximum,
                         QChar pairSeparator, QChar nameValueSeparator);
// The three warnings for a first pair that has no name/value separator.
void kWarnFirstPairWithoutSeparator(QStringView piece);
// The debug line for pair `number`; a value holding a line feed or longer
// than `longLength` characters is shown clipped to `shownLength` characters.
void kLogNameValuePair(int number, const KNVP& pair, qsizetype longLength, qsizetype shownLength);
// The value of the first pair with exactly that name; empty when none has it.
QString kGetNVPValue(QStringView name, std::span<const KNVP> pairs);

// "+" becomes a blank; an escaped "\+" keeps its plus and blanks the backslash.
QString& plus2space(QString& text);
// Decodes "%XX" escapes of two hexadecimal digits. "%00" and a "%" not
// followed by two hexadecimal digits stay as they are.
QString& webgoop(QString& text);

// The value of one hexadecimal digit of either case; -1 for any other character.
int HexDigitValue(QChar digit);

// The C runtime's atoi rules: leading white space, an optional sign, then
// decimal digits up to the first other character; 0 when there are none.
// Saturates instead of overflowing. Needs no started framework.
long long kLeadingInteger(QStringView text);
// kLeadingInteger for callers that require the framework to have been started.
long long katoh(QStringView text);
// The leading floating-point number of the text; 0.0 when there is none.
double katof(QStringView text);
// low plus a random number below high - low; any random number when high is
// 0; low when high is not above low.
int kRandom(int low, int high);
