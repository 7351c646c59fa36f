#include "framework/ktemplate.h"

#include "framework/kcrash.h"
#include "framework/klog.h"
#include "framework/kprops.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace {

constexpr int kReportedLineLimit = 2000;
constexpr qsizetype kReservedMessageSpace = 3;

// Copies one template to the output, line by line.
class TemplateWriter {
public:
    TemplateWriter(std::span<const KNVP> pairs, QIODevice& output)
        : m_pairs(pairs),
          m_output(output),
          m_outputOn(pairs.empty() || pairs.front().value != kTemplateStart) {}

    void writeLine(QStringView line, unsigned long lineNumber) {
        QStringView rest = line;
        while (true) {
            const qsizetype open = rest.indexOf(u"{{");
            const qsizetype close = open < 0 ? -1 : rest.indexOf(u"}}", open + 2);
            if (close < 0) {
                write(rest);
                return;
            }
            const QStringView token = rest.mid(open, close + 2 - open);
            const QStringView after = rest.mid(close + 2);
            const KNVP* pair = find(token);
            if (pair == nullptr) {
                write(rest.left(close + 2));
                log(u"    %-25s --line[%03lu]--> left intact (unknown token)", token, lineNumber);
                rest = after;
                continue;
            }
            // A line holding a directive is itself never written.
            if (pair->value == kTemplateStop) {
                m_outputOn = false;
                log(u"    %-25s --line[%03lu]--> output stopped", token, lineNumber);
                return;
            }
            if (pair->value == kTemplateStart) {
                m_outputOn = true;
                log(u"    %-25s --line[%03lu]--> output started", token, lineNumber);
                return;
            }
            if (token.startsWith(u"{{V=")) {
                write(rest.left(open));
                write(pair->value);
                log(u"    %-25s --line[%03lu]--> '%s' (value only)", token, lineNumber,
                    pair->value);
                rest = after;
                continue;
            }
            write(pair->value);
            write(u"\n");
            log(u"    %-25s --line[%03lu]--> '%s' (entire line)", token, lineNumber, pair->value);
            return;
        }
    }

private:
    const KNVP* find(QStringView token) const {
        const auto it = std::find_if(m_pairs.begin(), m_pairs.end(),
                                     [token](const KNVP& pair) { return pair.name == token; });
        return it != m_pairs.end() ? &*it : nullptr;
    }

    void write(QStringView text) {
        if (m_outputOn && !text.isEmpty()) {
            m_output.write(text.toUtf8());
        }
    }

    template <typename... Args>
    static void log(QStringView format, const Args&... args) {
        if (kDebugLevel(0) > 1) {
            kDebugLog(format, args...);
        }
    }

    std::span<const KNVP> m_pairs;
    QIODevice& m_output;
    bool m_outputOn;
};

void logPairs(const QString& templatePath, std::span<const KNVP> pairs) {
    kDebugLog(u"OUT: template='%s' (%d pairs):", templatePath, static_cast<int>(pairs.size()));
    for (const KNVP& pair : pairs) {
        kDebugLog(u"    %-25s --> '%s'", pair.name, pair.value.isNull() ? u"NULL"_qs : pair.value);
    }
}

void logRange(const QString& templatePath, const QString& startToken, const QString& stopToken) {
    if (!startToken.isEmpty() && !stopToken.isEmpty()) {
        kDebugLog(u"OUT: template='%s' %s --> %s", templatePath, startToken, stopToken);
    } else if (!startToken.isEmpty()) {
        kDebugLog(u"OUT: template='%s' %s to end", templatePath, startToken);
    } else if (!stopToken.isEmpty()) {
        kDebugLog(u"OUT: template='%s' up to %s", templatePath, stopToken);
    } else {
        kDebugLog(u"OUT: template='%s' full file", templatePath);
    }
}

// Appends a piece unless it would overflow the limit.
bool appendWithin(QString& target, const QString& piece, qsizetype limit) {
    if (target.size() + piece.size() > limit) {
        kDebugLog(u"kCheckRequiredFields(): iMaxLen not big enough (only %u)",
                  static_cast<long long>(limit));
        return false;
    }
    target += piece;
    return true;
}

}  // namespace

int kOutputTemplate(const QString& templatePath, std::span<const KNVP> pairs, QIODevice& output) {
    kRequireInit(u"kOutputTemplate");
    if (kDebugLevel(0) > 1) {
        logPairs(templatePath, pairs);
    }
    QFile file(templatePath);
    if (templatePath.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        kWarningLog(u"HTML-OUT: kfopen() FAILED on '%s'.\n", templatePath);
        return 0;
    }
    TemplateWriter writer(pairs, output);
    unsigned long lineNumber = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        ++lineNumber;
        if (kDebugLevel(0) > 3) {
            kDebugLog(u"FGETS: %s, Line %d: _tcsclen()=%d [MAXLEN=%d]\n", templatePath, lineNumber,
                      static_cast<long long>(line.size()), kReportedLineLimit);
        }
        writer.writeLine(line, lineNumber);
    }
    if (kDebugLevel(0) > 1) {
        kDebugLog(u"kOutputTemplate(): returning %s.", u"TRUE");
    }
    return 1;
}

int kOutputTemplateProps(const QString& templatePath, const KPROPS& list, const QString& startToken,
                         const QString& stopToken, QIODevice& output) {
    std::vector<KNVP> pairs;
    pairs.reserve(static_cast<size_t>(list.Count()) + 2);
    if (!startToken.isEmpty()) {
        pairs.push_back({startToken, kTemplateStart.toString()});
    }
    for (int i = 0; i < list.Count(); ++i) {
        pairs.push_back({list.GetNameAt(i), list.GetValueAt(i)});
    }
    if (!stopToken.isEmpty()) {
        pairs.push_back({stopToken, kTemplateStop.toString()});
    }
    if (kDebugLevel(0) != 0) {
        logRange(templatePath, startToken, stopToken);
    }
    return kOutputTemplate(templatePath, pairs, output);
}

int kCheckRequiredFields(QString& target, qsizetype targetSize,
                         std::initializer_list<KRequiredField> fields) {
    kRequireInit(u"kCheckRequiredFields");
    kDebugLog(u"kCheckRequiredFields:");
    std::vector<const KRequiredField*> missing;
    for (const KRequiredField& field : fields) {
        kDebugLog(u"  %-40s : %s", field.label, field.value.isEmpty() ? u"NULL (or nil)" : u"OK");
        if (field.value.isEmpty()) {
            missing.push_back(&field);
        }
    }
    target.clear();
    const qsizetype limit = targetSize - kReservedMessageSpace;
    if (missing.empty()) {
        return 0;
    }
    if (missing.size() == 1) {
        const QString message =
            kFormat(u"<B>%s</B> needs to be filled in before proceeding.", missing.front()->label);
        return appendWithin(target, message, limit) ? 1 : -1;
    }
    if (!appendWithin(target, u"These fields to be filled in before proceeding:<br>\n"_qs, limit)) {
        return -1;
    }
    for (const KRequiredField* field : missing) {
        if (!appendWithin(target, kFormat(u"\t<li><B>%s</B></li>\n", field->label), limit)) {
            return -1;
        }
    }
    return appendWithin(target, u"\n"_qs, limit) ? static_cast<int>(missing.size()) : -1;
}
