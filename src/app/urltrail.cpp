#include "app/urltrail.h"

#include "app/history.h"
#include "app/playbackscript.h"
#include "app/theapp.h"
#include "framework/kmachine.h"
#include "framework/kpath.h"
#include "framework/ktime.h"
#include "settings/buildstamp.h"
#include "settings/settingsfolder.h"
#include "settings/wholefile.h"
#include "ui/busycursor.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <ctime>

namespace {

QPushButton* saveButton(QWidget* parent, int id) {
    auto* button = new QPushButton(QStringLiteral("Save"), parent);
    button->setProperty("controlId", id);
    return button;
}

}  // namespace

CURLTrail::CURLTrail(const CHistory& history, const CPreferences& prefs, QWidget* parent)
    : QDialog(parent), m_history(history), m_prefs(prefs) {
    setWindowTitle(QStringLiteral("URL Trail"));
    setProperty("templateId", kTemplateId);
    const QString desktop = GetDesktopDir();
    m_textPath = new QLineEdit(PathJoin(desktop, u"playback.txt"), this);
    m_textPath->setProperty("controlId", 5222);
    m_scriptPath = new QLineEdit(PathJoin(desktop, u"playback.sh"), this);
    m_scriptPath->setProperty("controlId", 5037);
    QPushButton* saveTextButton = saveButton(this, 5223);
    QPushButton* saveScriptButton = saveButton(this, 5135);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Write URL Trail to file:"), this), 0, 0);
    layout->addWidget(m_textPath, 0, 1);
    layout->addWidget(saveTextButton, 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("Generate KSH Script:"), this), 1, 0);
    layout->addWidget(m_scriptPath, 1, 1);
    layout->addWidget(saveScriptButton, 1, 2);
    connect(saveTextButton, &QPushButton::clicked, this, [this] { SaveText(); });
    connect(saveScriptButton, &QPushButton::clicked, this, [this] { SaveScript(); });
}

bool CURLTrail::SaveText() {
    const CBusyCursor busy;
    QString text = m_history.GetURLTrailHTML(m_prefs);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return write(m_textPath->text(), text);
}

bool CURLTrail::SaveScript() {
    const CBusyCursor busy;
    const CPlaybackFacts facts{GetVersionString(true), khostname(),
                               kFormTimestamp(50, std::time(nullptr))};
    return write(m_scriptPath->text(), CPlaybackScript::Build(m_history.TrailCopy(), facts));
}

bool CURLTrail::write(const QString& path, const QString& text) {
    if (WriteStringToFile(path, text) == 0) {
        theApp().PopupMessage(QStringLiteral("Write Failed."), kPopupError);
        return false;
    }
    return true;
}
