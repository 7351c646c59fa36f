#include "dialogs/optionspanel4.h"

#include "dialogs/optionsdialog.h"
#include "dialogs/optionssite.h"
#include "platform/paths.h"
#include "settings/preferences.h"
#include "settings/settingsfolder.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QString BrowseFolderOf(const QString& currentPath) {
    return !currentPath.isEmpty() && IsLocalPath(currentPath)
               ? QFileInfo(currentPath).absolutePath()
               : Getlocalsettingsdir();
}

COptionsPanel4::COptionsPanel4(COptionsDialog& dialog)
    : m_dialog(dialog),
      m_contextDebugging(new QCheckBox(QStringLiteral("Enable context debugging"), this)),
      m_timingInfo(new QCheckBox(QStringLiteral("Enable timing information on main window"), this)),
      m_path(new QLineEdit(this)),
      m_browse(new QPushButton(QStringLiteral("..."), this)) {
    setProperty("templateId", kTemplateId);
    m_contextDebugging->setProperty("controlId", 5519);
    m_timingInfo->setProperty("controlId", 5520);
    m_path->setProperty("controlId", 5523);
    m_browse->setProperty("controlId", 5524);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_contextDebugging, 0, 0, 1, 3);
    layout->addWidget(m_timingInfo, 1, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Language Pack:"), this), 2, 0);
    layout->addWidget(m_path, 2, 1);
    layout->addWidget(m_browse, 2, 2);
    layout->setRowStretch(3, 1);

    connect(m_contextDebugging, &QCheckBox::clicked, this, [this] { m_touched = true; });
    connect(m_timingInfo, &QCheckBox::clicked, this, [this] { m_touched = true; });
    // A path typed by hand is as much a change as a browsed one.
    connect(m_path, &QLineEdit::textEdited, this, [this] { m_touched = true; });
    connect(m_browse, &QPushButton::clicked, this, [this] { OnBrowseLanguagePack(); });
}

void COptionsPanel4::OnInitDialog() {
    const CPreferences& prefs = m_dialog.Site().Prefs();
    m_contextDebugging->setChecked(prefs.GetInt(QStringLiteral("ContextDebugging"), 0) != 0);
    m_timingInfo->setChecked(prefs.GetInt(QStringLiteral("EnableTimingInfo"), 0) != 0);
    m_path->setText(prefs.GetString(QStringLiteral("LanguagePack")));
}

void COptionsPanel4::OnBrowseLanguagePack() {
    QString path;
    if (!m_dialog.Site().PromptForFile(
            true, path, BrowseFolderOf(m_path->text()) + QStringLiteral("/*.lang"),
            QStringLiteral("lang"),
            QStringLiteral("Language Pack File (*.lang)|*.lang|All Files|*.*||"), this)) {
        return;
    }
    m_path->setText(path);
    m_touched = true;
}

void COptionsPanel4::Store(CPreferences& prefs) const {
    prefs.SetInt(QStringLiteral("ContextDebugging"), m_contextDebugging->isChecked() ? 1 : 0);
    prefs.SetInt(QStringLiteral("EnableTimingInfo"), m_timingInfo->isChecked() ? 1 : 0);
    prefs.SetString(QStringLiteral("LanguagePack"), m_path->text());
}
