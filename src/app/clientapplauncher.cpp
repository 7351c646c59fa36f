#include "app/clientapplauncher.h"

#include "framework/klog.h"
#include "framework/kpath.h"
#include "platform/detachedprogram.h"
#include "settings/settingsfolder.h"
#include "settings/wholefile.h"

#include <QProcess>
#include <QRegularExpression>

#include <utility>
#include <vector>

QString CClientAppLauncher::ShellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

bool CClientAppLauncher::IsShellName(const QString& name) {
    static const QRegularExpression shellName(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return shellName.match(name).hasMatch();
}

CClientAppLauncher::Outcome CClientAppLauncher::Launch(const QString& commandLine,
                                                       const CActionContext& context) {
    std::vector<std::pair<QString, QString>> variables{
        {QStringLiteral("SELECTED"), context.selected}, {QStringLiteral("TARGET"), context.target}};
    if (context.list != nullptr) {
        for (int i = 0; i < context.list->Count(); ++i) {
            const QString name = context.list->GetNameAt(i);
            if (IsShellName(name)) {
                variables.emplace_back(name, context.list->GetValueAt(i));
            } else {
                kWarningLog(u"app: '%s' is no shell name; it is not exported.\n", name);
            }
        }
    }
    const QStringList words = QProcess::splitCommand(commandLine);

    QString record = QStringLiteral("#! /bin/sh\n\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : variables) {
        record += QStringLiteral("export ") + name + u'=' + ShellQuoted(value) + u'\n';
        environment.insert(name, value);
    }
    QStringList quotedWords;
    for (const QString& word : words) {
        quotedWords << ShellQuoted(word);
    }
    record += QStringLiteral("\nexec ") + quotedWords.join(u' ') + u'\n';

    m_recordPath = PathJoin(Getlocalsettingsdir(), u"RunMe.bat");
    if (WriteStringToFile(m_recordPath, record) == 0) {
        return Outcome::RecordNotWritten;
    }
    kDebugLog(u"BAT File: %s\n", m_recordPath);
    if (words.isEmpty()) {
        return Outcome::NotStarted;
    }
    return StartDetachedProgram(words.first(), words.mid(1), environment) ? Outcome::Started
                                                                          : Outcome::NotStarted;
}
