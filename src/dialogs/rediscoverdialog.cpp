#include "dialogs/rediscoverdialog.h"

#include "dialogs/rediscoversite.h"
#include "frame/webwnd.h"
#include "framework/kformat.h"
#include "net/wireservices.h"
#include "net/xmltext.h"
#include "server/mysystem.h"
#include "settings/urlcoding.h"
#include "tree/treetexts.h"
#include "ui/busycursor.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

// A count the reply holds: absent (empty) reads 0; anything but a whole
// base-10 number makes the results malformed.
bool readCount(const QString& reply, const char16_t* tag, int& count) {
    const QString text = XmlSimpleValue(reply, QString::fromUtf16(tag), false);
    count = 0;
    if (text.isEmpty()) {
        return true;
    }
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]+$"));
    bool ok = whole.match(text).hasMatch();
    if (ok) {
        count = text.toInt(&ok);
    }
    return ok;
}

QString text(unsigned id) {
    return TranslatedResourceString(id);
}

}  // namespace

CReDiscoverDialog::CReDiscoverDialog(const QString& requestUrl, const QString& resultsUrl,
                                     CReDiscoverSite& site, QWidget* parent)
    : QDialog(parent),
      m_requestUrl(requestUrl),
      m_resultsUrl(resultsUrl),
      m_site(site),
      m_headline(new QLabel(this)),
      m_summary(new QLabel(this)),
      m_note(new QLabel(this)),
      m_viewLog(new QPushButton(QStringLiteral("View Log"), this)),
      m_list(new QListWidget(this)),
      m_acceptNew(new QCheckBox(QStringLiteral("Accept new elements"), this)),
      m_retireMissing(new QCheckBox(QStringLiteral("Retire missing elements"), this)),
      m_save(new QPushButton(QStringLiteral("&Save"), this)),
      m_cancel(new QPushButton(QStringLiteral("&Cancel "), this)) {
    setProperty("controlId", 253);
    setWindowTitle(QStringLiteral("Rediscover"));
    const std::pair<QWidget*, int> ids[] = {
        {m_headline, 5327},      {m_summary, 5329}, {m_note, 5331},
        {m_viewLog, 5008},       {m_list, 5330},    {m_acceptNew, 5064},
        {m_retireMissing, 5071}, {m_save, 5128},    {m_cancel, 5076}};
    for (const auto& [widget, id] : ids) {
        widget->setProperty("controlId", id);
    }
    m_headline->setAlignment(Qt::AlignCenter);
    m_headline->setWordWrap(true);
    m_summary->setWordWrap(true);
    m_note->setWordWrap(true);
    m_save->setDefault(true);
    auto* noteRow = new QHBoxLayout;
    noteRow->addWidget(m_note, 1);
    noteRow->addWidget(m_viewLog);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_headline);
    layout->addWidget(m_summary);
    layout->addLayout(noteRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_acceptNew);
    layout->addWidget(m_retireMissing);
    layout->addLayout(buttons);
    resize(fontMetrics().averageCharWidth() * 80, fontMetrics().height() * 30);

    connect(m_acceptNew, &QCheckBox::clicked, this, &CReDiscoverDialog::OnChoiceChanged);
    connect(m_retireMissing, &QCheckBox::clicked, this, &CReDiscoverDialog::OnChoiceChanged);
    connect(m_save, &QPushButton::clicked, this, &CReDiscoverDialog::OnSave);
    connect(m_cancel, &QPushButton::clicked, this, &CReDiscoverDialog::OnCancel);
    connect(m_viewLog, &QPushButton::clicked, this, &CReDiscoverDialog::OnViewLog);
}

CReDiscoverDialog::~CReDiscoverDialog() {
    delete m_logWindow.data();
}

int CReDiscoverDialog::exec() {
    if (!OnInitDialog()) {
        return Rejected;
    }
    return QDialog::exec();
}

bool CReDiscoverDialog::OnInitDialog() {
    const CBusyCursor busy;
    WireServices().ClearCancelFlag();
    WireServices().PumpMessages();
    if (m_resultsUrl.isEmpty()) {
        // Nothing to explain: the dialog ends rather than offer a Save of
        // nothing.
        m_site.MessageBox(QStringLiteral("Operation failed: Menu action not defined properly."));
        return false;
    }
    CMySystem* system = m_site.CurrentSystem();
    if (system == nullptr || !system->FetchData(m_requestUrl, QString(), false)) {
        return false;
    }
    QString reply;
    QString errorText;
    if (!system->FetchDocument(m_resultsUrl, reply, errorText)) {
        return false;
    }
    explain(reply);
    m_site.EndProgress();
    return true;
}

void CReDiscoverDialog::explain(const QString& reply) {
    const auto value = [&reply](const char16_t* tag) {
        return XmlSimpleValue(reply, QString::fromUtf16(tag), false);
    };
    m_missingElems = value(u"disc-missing-elems");
    m_elementName = value(u"disc-element-name");
    m_logPath = value(u"disc-log");
    m_updatedDci = value(u"disc-dci-updated");
    m_newDci = value(u"disc-dci-new");
    const QString seedFile = value(u"disc-seed-file");
    int existing = 0, added = 0, updated = 0, missing = 0, resolved = 0, unresolved = 0;
    const bool wellFormed = readCount(reply, u"disc-existing-count", existing) &&
                            readCount(reply, u"disc-new-count", added) &&
                            readCount(reply, u"disc-updated-count", updated) &&
                            readCount(reply, u"disc-missing-count", missing) &&
                            readCount(reply, u"disc-resolved-count", resolved) &&
                            readCount(reply, u"disc-unresolved-count", unresolved);
    m_acceptNew->setChecked(false);
    m_retireMissing->setChecked(false);
    if (!wellFormed) {
        m_headline->setText(text(519));
        m_summary->setText(text(520));
        m_note->setText(seedFile.isEmpty() ? QString() : text(521) + seedFile);
        m_save->setEnabled(false);
        m_acceptNew->setEnabled(false);
        m_retireMissing->setEnabled(false);
        m_viewLog->setEnabled(!m_logPath.isEmpty());
        return;
    }
    m_updated = updated > 0;
    m_newElements = added > 0;
    m_missing = missing > 0;
    const QString seedSentence = seedFile.isEmpty() ? QString() : text(527) + seedFile;
    QString headline;
    QString sentences;
    bool savable = true;
    if (updated < 1) {
        if (added > 0 && missing < 1) {
            headline = text(533);
        } else if (missing >= 1) {
            headline = text(532);
        } else {
            headline = text(534) + seedSentence;
            savable = false;
        }
        sentences = text(535);
    } else if (unresolved != 0) {
        headline =
            text(519) + QStringLiteral("\nPlease refer to the main Discover UI.") + seedSentence;
        sentences = resolved != 0 ? kFormat(u"%d %s%d %s%d %s", updated, text(529), resolved,
                                            text(530), unresolved, text(531))
                                  : kFormat(u"%d %s", unresolved, text(528));
        savable = false;
    } else {
        if (missing > 0) {
            headline = text(523);
        } else if (added == 0) {
            headline = text(522);
        } else {
            headline = text(524);
        }
        sentences = kFormat(u"%d %s", updated, text(updated == 1 ? 525 : 526));
    }
    if (added >= 1) {
        sentences += kFormat(u"\n%d %s", added, text(added == 1 ? 536 : 537));
    }
    if (missing >= 1) {
        sentences += kFormat(u"\n%d %s", missing, text(missing == 1 ? 538 : 539));
    }
    const bool tooManyNew = added != 0 && added >= existing - 1;
    m_headline->setText(headline);
    m_summary->setText((tooManyNew ? text(540) : QStringLiteral("\n")) + sentences);
    if (m_logPath.isEmpty()) {
        m_viewLog->setEnabled(false);
    } else {
        m_note->setText(QStringLiteral("For details, click View Log."));
    }
    m_save->setEnabled(savable && (updated > 0 || added > 0));
    m_acceptNew->setEnabled(savable && added >= 1);
    m_acceptNew->setChecked(savable && added >= 1);
    m_retireMissing->setEnabled(savable && missing > 0);
    addList(value(u"disc-updated-list"), 541, QStringLiteral("-------"));
    addList(value(u"disc-new-list"), 542, QStringLiteral("---"));
    addList(value(u"disc-missing-list"), 543, QStringLiteral("-------"));
}

void CReDiscoverDialog::addList(const QString& list, unsigned heading, const QString& rule) {
    if (list.isEmpty()) {
        return;
    }
    m_list->addItem(text(heading));
    m_list->addItem(rule);
    // The list's first character is its separator.
    const QStringList entries = list.mid(1).split(list.front());
    for (const QString& entry : entries) {
        m_list->addItem(entry.trimmed());
    }
    m_list->addItem(QString());
}

void CReDiscoverDialog::OnChoiceChanged() {
    if (m_updated) {
        return;
    }
    m_save->setEnabled((m_newElements && m_acceptNew->isChecked()) ||
                       (m_missing && m_retireMissing->isChecked()));
}

void CReDiscoverDialog::OnSave() {
    const CBusyCursor busy;
    QString dciFile;
    if (m_acceptNew->isChecked()) {
        if (m_newDci.isEmpty()) {
            m_site.MessageBox(QStringLiteral("Problem getting new dci input file for saving."));
            return;
        }
        dciFile = m_newDci;
    } else if (m_updated) {
        if (m_updatedDci.isEmpty()) {
            m_site.MessageBox(QStringLiteral("Problem getting updated dci input file for saving."));
            return;
        }
        dciFile = m_updatedDci;
    }
    // Server paths and element lists go into a query: encoded.
    QString request = QStringLiteral("/cmi/Services?Action=ReDiscoverSave");
    if (!dciFile.isEmpty()) {
        request += kFormat(u"&Dci=%s", EncodeForURL(dciFile));
    }
    if (m_retireMissing->isChecked() && !m_missingElems.isEmpty()) {
        request += kFormat(u"&Retire=%s", EncodeForURL(m_missingElems));
    }
    if (!m_elementName.isEmpty()) {
        request += kFormat(u"&Element=%s", EncodeForURL(m_elementName));
    }
    accept();
    if (CMySystem* system = m_site.CurrentSystem()) {
        system->FetchData(request, QString(), false);
    }
    m_site.RebuildRHS();
}

void CReDiscoverDialog::OnCancel() {
    // The server's log encodes the line itself: the name goes in plain.
    QString line = QStringLiteral("Ran Rediscover");
    if (!m_elementName.isEmpty()) {
        line += QStringLiteral(" for ") + m_elementName;
    }
    line += QStringLiteral(". Results not saved.");
    if (CMySystem* system = m_site.CurrentSystem()) {
        system->CmiLog(line);
    }
    QDialog::reject();
}

void CReDiscoverDialog::reject() {
    OnCancel();
}

void CReDiscoverDialog::OnViewLog() {
    if (m_logPath.isEmpty()) {
        m_site.MessageBox(QStringLiteral("Can't find discover log file."));
        return;
    }
    const QString url = kFormat(u"%s/cmi/Services?Action=GetFile&File=%s&CloseButton=no",
                                m_site.ServerURL(), EncodeForURL(m_logPath));
    if (m_logWindow == nullptr) {
        m_logWindow = new CWebWnd();
        m_logWindow->setAttribute(Qt::WA_DeleteOnClose);
        m_logWindow->setGeometry(m_site.CascadeRect());
    }
    m_logWindow->show();
    m_logWindow->Navigate(url);
}
