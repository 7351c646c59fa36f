#include "dialogs/selectfile.h"

#include "framework/kformat.h"
#include "framework/klog.h"
#include "framework/ktext.h"
#include "grid/mygrid.h"
#include "server/mysystem.h"
#include "settings/preferences.h"
#include "settings/urlcoding.h"
#include "tree/mytree.h"
#include "tree/treetexts.h"
#include "ui/popupmessages.h"
#include "ui/uiservices.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct SelectFileType {
    const char16_t* extension;
    const char16_t* description;
};

constexpr SelectFileType kSelectFileTypes[] = {
    {u".arf", u"UI Generated Discover Rule Files"},
    {u".dcr", u"Discover Rule Files"},
    {u".*", u"All Files"},
};
constexpr int kSelectFileDefaultType = 1;
constexpr int kMaxUrlPairs = 50;

QString withoutLeadingCommas(QString text) {
    qsizetype commas = 0;
    while (commas < text.size() && text[commas] == u',') {
        ++commas;
    }
    return text.mid(commas);
}

int selectFileBox(const QString& text, int type) {
    return HaveUiServices() ? UiServices().Popups().PopupMessage(text, type) : 0;
}

}  // namespace

QString CSelectFile::DirectoryRequest(const QString& directory) {
    return kFormat(u"/cmi/Services?Action=GetDirectory&Dir=%s&MaxLevel=1", EncodeForURL(directory));
}

CSelectFile::CSelectFile(CPreferences& prefs, CMyTree& tree, const QString& keyPrefix,
                         const QString& defaultBaseDirectory, QWidget* parent)
    : QDialog(parent),
      m_prefs(prefs),
      m_tree(tree),
      m_keyPrefix(keyPrefix),
      m_defaultBaseDirectory(defaultBaseDirectory) {
    setWindowTitle(QStringLiteral("Select File"));
    setProperty("templateId", kTemplateId);
    m_grid = new CMyGrid(this);
    m_grid->Create(QRect(0, 0, 520, 300), this, kGridId);
    m_grid->SetOwner(this);
    m_fileTypes = new QComboBox(this);
    m_fileTypes->setProperty("controlId", 5452);
    m_up = new QPushButton(QStringLiteral("Up"), this);
    m_up->setProperty("controlId", 5455);
    m_open = new QPushButton(QStringLiteral("&Open"), this);
    m_open->setProperty("controlId", 1);
    m_open->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setProperty("controlId", 2);
    m_path = new QLineEdit(this);
    m_path->setProperty("controlId", 5463);
    m_path->setReadOnly(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_path, 0, 0, 1, 2);
    layout->addWidget(m_up, 0, 2);
    layout->addWidget(m_grid, 1, 0, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("Files of &type:"), this), 2, 0);
    layout->addWidget(m_fileTypes, 2, 1);
    layout->addWidget(m_open, 2, 2);
    layout->addWidget(cancel, 3, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    resize(600, 420);

    connect(m_up, &QPushButton::clicked, this, &CSelectFile::OnUp);
    connect(m_open, &QPushButton::clicked, this, &CSelectFile::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

CSelectFile::~CSelectFile() = default;

QString CSelectFile::key(const char16_t* suffix) const {
    return m_keyPrefix + QString::fromUtf16(suffix);
}

int CSelectFile::exec() {
    if (!OnInitDialog()) {
        return Rejected;
    }
    return QDialog::exec();
}

bool CSelectFile::OnInitDialog() {
    if (m_system == nullptr) {
        m_system = dynamic_cast<CMySystem*>(m_tree.GetSystem(m_tree.GetSelectedItem()));
    }
    if (m_system == nullptr) {
        selectFileBox(QStringLiteral("SelectFile dialog cannot determine parent system."),
                      kPopupInformation);
        return false;
    }
    if (m_typeList.Count() == 0) {
        for (const SelectFileType& type : kSelectFileTypes) {
            m_typeList.Add(QString::fromUtf16(type.extension),
                           QString::fromUtf16(type.description));
        }
    }

    const QString directory = m_prefs.GetString(key(u"/Directory"));
    const QString filter = m_prefs.GetString(key(u"/Filter"));
    QString base = m_prefs.GetString(key(u"/BaseDirectory"));
    if (base.isEmpty()) {
        base = m_defaultBaseDirectory;
        m_prefs.SetString(key(u"/BaseDirectory"), base);
    }

    const QSignalBlocker quiet(m_fileTypes);
    m_fileTypes->clear();
    for (int i = 0; i < m_typeList.Count(); ++i) {
        m_fileTypes->addItem(
            kFormat(u"%s (*%s)", m_typeList.GetValueAt(i), m_typeList.GetNameAt(i)));
    }
    // A stored type other than these two (none, or one of an older list)
    // gives the rule files.
    m_fileTypes->setCurrentIndex(filter == u".arf" ? 0
                                 : filter == u".*" ? 2
                                                   : kSelectFileDefaultType);
    m_grid->SetDirListFilter(currentExtension());
    connect(m_fileTypes, &QComboBox::currentIndexChanged, this, &CSelectFile::OnFilterChange,
            Qt::UniqueConnection);

    m_backStack.clear();
    QString shown = base;
    if (!directory.isEmpty()) {
        m_relativeDirectory = directory;
        m_up->setEnabled(true);
        m_backStack.push_back(DirectoryRequest(base));
        for (qsizetype slash = directory.indexOf(u'/'); slash >= 0;
             slash = directory.indexOf(u'/', slash + 1)) {
            m_backStack.push_back(DirectoryRequest(base + u'/' + directory.left(slash)));
        }
        // The last one pushed is the directory shown itself.
        m_backStack.pop_back();
        if (m_relativeDirectory.endsWith(u'/')) {
            m_relativeDirectory.chop(1);
        }
        shown = base + u'/' + m_relativeDirectory;
    } else {
        m_relativeDirectory.clear();
        m_up->setEnabled(false);
    }
    m_currentURL = DirectoryRequest(shown);
    Refresh();
    return true;
}

QString CSelectFile::currentExtension() const {
    const int index = m_fileTypes->currentIndex();
    return index >= 0 && index < m_typeList.Count() ? m_typeList.GetNameAt(index)
                                                    : QStringLiteral(".*");
}

void CSelectFile::Refresh() {
    if (m_currentURL.isEmpty()) {
        return;
    }
    m_up->setEnabled(!m_backStack.empty());
    m_grid->GetData(m_currentURL, m_system, true);
    if (LogoutIfUnauthorized(m_tree) != 0) {
        return;
    }
    m_path->setText(m_grid->GetDirListPath());

    const QString file = m_prefs.GetString(key(u"/File"));
    if (file.isEmpty()) {
        return;
    }
    int nameColumn = 0;
    for (int col = 0; col < m_grid->GetColumnCount(); ++col) {
        if (m_grid->GetItemText(0, col) == u"Name") {
            nameColumn = col;
            break;
        }
    }
    for (int row = 1; row < m_grid->GetRowCount(); ++row) {
        if (m_grid->GetItemText(row, nameColumn) == file) {
            selectRow(row);
            m_grid->EnsureVisible(row, 0);
            return;
        }
    }
}

bool CSelectFile::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // The grid scrolls only in an active window with its final size and a
    // focus: the remembered file is brought into view when the dialog first
    // comes up.
    if (event->type() == QEvent::WindowActivate && !m_scrolledOnShow) {
        m_scrolledOnShow = true;
        // After the activation, once a control of the window has the focus.
        QMetaObject::invokeMethod(
            this,
            [this] {
                const CCellID focus = m_grid->GetFocusCell();
                if (focus.row > 0) {
                    m_grid->EnsureVisible(focus.row, 0);
                }
            },
            Qt::QueuedConnection);
    }
    return handled;
}

void CSelectFile::OnFilterChange(int index) {
    (void)index;
    m_grid->SetDirListFilter(currentExtension());
    Refresh();
}

void CSelectFile::selectRow(int row) {
    m_grid->SetFocusCell(row, 0);
    m_grid->SetSelectedRange(row, 0, row, m_grid->GetColumnCount() - 1, true);
}

bool CSelectFile::isDirectoryRow(int row) const {
    // The grid lists a directory with a "/" after its name.
    for (int col = 0; col < m_grid->GetColumnCount(); ++col) {
        if (m_grid->GetItemText(0, col) == u"Name") {
            return m_grid->GetItemText(row, col).endsWith(u'/');
        }
    }
    return false;
}

QString CSelectFile::selectedValue(const QString& column) const {
    int count = 0;
    return withoutLeadingCommas(m_grid->GetSelectedRowsByColName(column, count, 0));
}

int CSelectFile::singleSelectedRow() const {
    if (m_grid->GetSelectedRowCount() != 1) {
        return -1;
    }
    return m_grid->GetSelectedCellRange().minRow;
}

void CSelectFile::saveColumnPrefs() {
    m_grid->SaveColumnPrefs();
}

void CSelectFile::enterDirectory(int row) {
    selectRow(row);
    const QString url = selectedValue(QStringLiteral("URL"));
    const QString name = selectedValue(QStringLiteral("Name"));
    m_relativeDirectory += name;
    saveColumnPrefs();
    m_backStack.push_back(m_currentURL);
    m_currentURL = url;
    Refresh();
}

void CSelectFile::OnUp() {
    if (m_backStack.empty()) {
        return;
    }
    if (m_relativeDirectory.endsWith(u'/')) {
        m_relativeDirectory.chop(1);
    }
    const qsizetype slash = m_relativeDirectory.lastIndexOf(u'/');
    m_relativeDirectory.truncate(slash < 0 ? 0 : slash);
    saveColumnPrefs();
    m_currentURL = m_backStack.back();
    m_backStack.pop_back();
    Refresh();
}

void CSelectFile::chooseFile() {
    std::vector<KNVP> pairs;
    kParseNameValuePairs(selectedValue(QStringLiteral("URL")), pairs, kMaxUrlPairs, u'&', u'=');
    const QString chosen = kGetNVPValue(u"File", pairs);
    if (chosen.isEmpty()) {
        selectFileBox(QStringLiteral("Please select a plain text file.\nThis file does not appear "
                                     "to be a plain text file."),
                      kPopupInformation);
        return;
    }
    const QString question =
        TranslatedResourceString(544) + chosen + u'\n' + TranslatedResourceString(545);
    if (selectFileBox(question, kPopupYesNo) != kAnswerYes) {
        return;
    }
    m_chosenFile = chosen;
    m_prefs.SetString(key(u"/Directory"), m_relativeDirectory);
    m_prefs.SetString(key(u"/Filter"), currentExtension());
    m_prefs.SetString(key(u"/File"), selectedValue(QStringLiteral("Name")));
    m_prefs.SavePrefs(0);
    accept();
}

void CSelectFile::OnOK() {
    const int row = singleSelectedRow();
    if (row < 1) {
        selectFileBox(QStringLiteral("Please Select a single file or directory"),
                      kPopupInformation);
        return;
    }
    if (isDirectoryRow(row)) {
        enterDirectory(row);
    } else {
        chooseFile();
    }
}

qintptr CSelectFile::OnGridNotify(GridNotifyHeader* header) {
    kDebugLog(u"OnNotify(): for wParam = %u\n", static_cast<unsigned>(header->idFrom));
    if (header->code != NM_DBLCLK) {
        kDebugLog(u"OnNotify(): for GridCtrl, pNmhdr->code = %u\n",
                  static_cast<unsigned>(header->code));
        return 0;
    }
    const int row = reinterpret_cast<GridNotifyInfo*>(header)->iRow;
    // Row 0 is the header row.
    if (row < 1 || row >= m_grid->GetRowCount()) {
        return 0;
    }
    selectRow(row);
    if (isDirectoryRow(row)) {
        enterDirectory(row);
    } else {
        chooseFile();
    }
    return 0;
}
