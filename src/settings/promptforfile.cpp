#include "settings/promptforfile.h"

#include "settings/uithreadcall.h"

#include <QFileDialog>
#include <QRegularExpression>
#include <QStringList>

namespace {

QString qtPatterns(const QString& windowsPatterns) {
    QStringList patterns;
    for (QString pattern : windowsPatterns.split(u';', Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern == u"*.*") {
            pattern = u"*"_qs;
        }
        if (!pattern.isEmpty()) {
            patterns.append(pattern);
        }
    }
    return patterns.isEmpty() ? u"*"_qs : patterns.join(u' ');
}

// Qt reads a filter's patterns from the parentheses that end its text, so a
// description's own "(*.txt)" is replaced by the real patterns.
QString withoutTrailingPatterns(const QString& description) {
    static const QRegularExpression trailing(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString text = description;
    text.remove(trailing);
    return text.trimmed();
}

}  // namespace

QString TranslateFileFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;
        }
        filters.append(withoutTrailingPatterns(parts[i]) + u" ("_qs + qtPatterns(parts[i + 1]) +
                       u')');
    }
    return filters.join(u";;");
}

bool PromptForFile(bool open, QString& path, const QString& initialName,
                   const QString& defaultExtension, const QString& filter, QWidget* parent) {
    QString chosen;
    qintptr accepted = 0;
    const bool ran = RunOnUiThread(
        u"PromptForFile",
        [&]() -> qintptr {
            QFileDialog dialog(parent);
            // The open dialog lets a new name be typed in an existing folder.
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
            const QString nameFilter = TranslateFileFilter(filter);
            if (!nameFilter.isEmpty()) {
                dialog.setNameFilter(nameFilter);
            }
            QString suffix = defaultExtension;
            while (suffix.startsWith(u'.')) {
                suffix.remove(0, 1);
            }
            dialog.setDefaultSuffix(suffix);
            if (!initialName.isEmpty()) {
                dialog.selectFile(initialName);
            }
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
                return 0;
            }
            chosen = dialog.selectedFiles().constFirst();
            return 1;
        },
        &accepted);
    if (!ran || accepted == 0) {
        return false;
    }
    path = chosen;
    return true;
}
