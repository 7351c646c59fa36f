#include "dialogs/optionspanel5.h"

#include "dialogs/optionsdialog.h"
#include "dialogs/optionssite.h"
#include "dialogs/progressbar.h"
#include "dialogs/webtranslation.h"
#include "framework/klog.h"
#include "grid/mygrid.h"
#include "net/mywire.h"
#include "resources/menus.h"
#include "settings/preferences.h"
#include "settings/settingsfolder.h"
#include "ui/popupmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct EditorColumn {
    const char16_t* id;
    const char16_t* header;
};

constexpr std::array<EditorColumn, 5> kColumns{{
    {u"string", u"String"},
    {u"built-in", u"Built-in "},
    {u"this-tx", u"LanguagePack"},
    {u"ref1", u"Babelfish"},
    {u"ref2", u"Google"},
}};

constexpr int kColumnWidth = 150;

const QString kThisTx = QStringLiteral("this-tx");
const QString kBuiltIn = QStringLiteral("built-in");
const QString kString = QStringLiteral("string");

QString notificationName(int code) {
    switch (code) {
        case GVN_COLUMNCLICK: return QStringLiteral("GVN_COLUMNCLICK");
        case GVN_SELCHANGING: return QStringLiteral("GVN_SELCHANGING");
        case GVN_SELCHANGED: return QStringLiteral("GVN_SELCHANGED");
        case GVN_BEGINDRAG: return QStringLiteral("GVN_BEGINDRAG");
        case GVN_BEGINLABELEDIT: return QStringLiteral("GVN_BEGINLABELEDIT");
        case GVN_BEGINRDRAG: return QStringLiteral("GVN_BEGINRDRAG");
        case GVN_DELETEITEM: return QStringLiteral("GVN_DELETEITEM");
        case GVN_ENDLABELEDIT: return QStringLiteral("GVN_ENDLABELEDIT");
        case GVN_GETDISPINFO: return QStringLiteral("GVN_GETDISPINFO");
        case GVN_ODCACHEHINT: return QStringLiteral("GVN_ODCACHEHINT");
        case NM_CLICK: return QStringLiteral("NM_CLICK");
        case NM_DBLCLK: return QStringLiteral("NM_DBLCLK");
        case NM_RCLICK: return QStringLiteral("NM_RCLICK");
        default: return QStringLiteral("OnNotify(?]");
    }
}

// A line break inside a pack entry, written as the pack's own "<br>" so
// that every entry stays on its line.
QString withBreakMarks(QString text) {
    if (text.contains(u'\n')) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
        text.replace(QStringLiteral("\n"), QStringLiteral("<br>"));
    }
    return text;
}

}  // namespace

COptionsPanel5::COptionsPanel5(COptionsDialog& dialog)
    : m_dialog(dialog),
      m_grid(new CMyGrid(this)),
      m_translation(new QGroupBox(QStringLiteral("Translation"), this)),
      m_file(new QLineEdit(this)),
      m_create(new QPushButton(QStringLiteral("Create"), this)),
      m_openButton(new QPushButton(QStringLiteral("Open"), this)),
      m_url(new QPushButton(QStringLiteral("URL"), this)),
      m_progress(std::make_unique<CProgressBar>(dialog.Site().ProgressSite(), this)) {
    setProperty("templateId", kTemplateId);
    m_file->setProperty("controlId", 5541);
    m_create->setProperty("controlId", 5539);
    m_openButton->setProperty("controlId", 5542);
    m_url->setProperty("controlId", 5554);
    m_builtIn.SetErrorBox([this](const QString& text) {
        m_dialog.Site().MessageBox(text, kPopupError);
    });
    m_loaded.SetErrorBox([this](const QString& text) {
        m_dialog.Site().MessageBox(text, kPopupError);
    });

    auto* pack = new QGroupBox(QStringLiteral("Language Pack"), this);
    auto* packLayout = new QHBoxLayout(pack);
    packLayout->addWidget(new QLabel(QStringLiteral("Filename:"), pack));
    packLayout->addWidget(m_file, 1);
    packLayout->addWidget(m_create);
    packLayout->addWidget(m_openButton);
    packLayout->addWidget(m_url);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pack);
    const std::array<QString, 2> titles{
        QStringLiteral("Reference/Machine Translation: Altavista Babelfish"),
        QStringLiteral("Reference/Machine Translation: Google")};
    const std::array<std::array<int, 3>, 2> ids{{{5545, 5547, 5549}, {5548, 5550, 5551}}};
    auto* services = new QHBoxLayout;
    for (Service service : {kBabelfish, kGoogle}) {
        auto* group = new QGroupBox(titles[service], this);
        m_languages[service] = new QComboBox(group);
        m_languages[service]->setProperty("controlId", ids[service][0]);
        m_translateAll[service] = new QPushButton(QStringLiteral("Translate All"), group);
        m_translateAll[service]->setProperty("controlId", ids[service][1]);
        m_translateBlanks[service] = new QPushButton(QStringLiteral("Only Translate Blanks"), group);
        m_translateBlanks[service]->setProperty("controlId", ids[service][2]);
        auto* groupLayout = new QGridLayout(group);
        groupLayout->addWidget(new QLabel(QStringLiteral("English to:"), group), 0, 0);
        groupLayout->addWidget(m_languages[service], 0, 1, 1, 2);
        groupLayout->addWidget(m_translateAll[service], 1, 1);
        groupLayout->addWidget(m_translateBlanks[service], 1, 2);
        services->addWidget(group);
        connect(m_languages[service], &QComboBox::activated, this, [this] { StoreEditorPrefs(); });
        connect(m_translateAll[service], &QPushButton::clicked, this,
                [this, service] { MachineTranslate(service, true); });
        connect(m_translateBlanks[service], &QPushButton::clicked, this,
                [this, service] { MachineTranslate(service, false); });
    }
    layout->addLayout(services);
    m_translation->setProperty("controlId", 5553);
    new QVBoxLayout(m_translation);
    layout->addWidget(m_translation, 1);

    connect(m_file, &QLineEdit::textEdited, this, [this] { StoreEditorPrefs(); });
    connect(m_create, &QPushButton::clicked, this, [this] { OnCreate(); });
    connect(m_openButton, &QPushButton::clicked, this, [this] { OnOpen(); });
}

COptionsPanel5::~COptionsPanel5() = default;

void COptionsPanel5::OnInitDialog() {
    m_grid->Create(QRect(0, 0, 400, 200), m_translation, kGridId);
    m_translation->layout()->addWidget(m_grid);
    m_grid->SetOwner(this);
    enableServices();
}

const TranslationService& COptionsPanel5::serviceOf(Service service) const {
    return service == kBabelfish ? BabelfishService() : GoogleService();
}

QString COptionsPanel5::serviceAddress(Service service) const {
    return TranslationAddress(m_dialog.Site().Prefs(), serviceOf(service));
}

int COptionsPanel5::ColumnOf(const QString& id) const {
    return m_grid->FindColumnByName(id);
}

int COptionsPanel5::referenceColumn(Service service) const {
    return ColumnOf(service == kBabelfish ? QStringLiteral("ref1") : QStringLiteral("ref2"));
}

void COptionsPanel5::enableServices() {
    for (Service service : {kBabelfish, kGoogle}) {
        const bool on = !serviceAddress(service).isEmpty();
        m_languages[service]->setEnabled(on);
        m_translateAll[service]->setEnabled(on);
        m_translateBlanks[service]->setEnabled(on);
    }
}

void COptionsPanel5::fetchLanguageLists() {
    COptionsSite& site = m_dialog.Site();
    const CPreferences& prefs = site.Prefs();
    std::array<QString, 2> addresses;
    for (Service service : {kBabelfish, kGoogle}) {
        m_languages[service]->clear();
        // The first entry chooses nothing, so that a language is always a choice.
        m_languages[service]->addItem(QString());
        if (!serviceAddress(service).isEmpty()) {
            addresses[service] = LanguagesAddress(prefs, serviceOf(service));
        }
    }
    if (addresses[kBabelfish].isEmpty() && addresses[kGoogle].isEmpty()) {
        return;
    }
    CProgressBar& progress = *m_progress;
    progress.Start(QStringLiteral("Fetching language lists..."), {}, 2, true, nullptr);
    m_worker.RunAndWait(
        [this, addresses, &progress](CMyWire& wire) {
            const std::function<bool()> cancelled = [this] { return m_worker.IsCancelled(); };
            for (Service service : {kBabelfish, kGoogle}) {
                const QString& address = addresses[service];
                if (address.isEmpty() || m_worker.IsCancelled()) {
                    continue;
                }
                m_worker.Post([&progress, address] {
                    progress.SetAction(
                        QStringLiteral("Fetching and parsing: ") + address + QStringLiteral(" ..."));
                });
                std::vector<LanguageOption> options;
                const TranslationResult result =
                    FetchLanguages(wire, serviceOf(service), address, options, cancelled);
                m_worker.Post([this, service, options, result, &progress] {
                    for (const LanguageOption& option : options) {
                        if (m_languages[service]->findText(option.label, Qt::MatchExactly) < 0) {
                            m_languages[service]->addItem(option.label, option.code);
                        }
                    }
                    if (!result.ok && !result.message.isEmpty()) {
                        m_dialog.Site().MessageBox(result.message, kPopupError);
                    }
                    progress.Step(1);
                });
            }
        },
        [&progress] { return progress.IsCancelled(); });
    progress.Done();
}

void COptionsPanel5::initFileAndLanguages() {
    const CPreferences& prefs = m_dialog.Site().Prefs();
    m_file->setText(prefs.GetString(QStringLiteral("LanguagePack"),
                                    Getlocalsettingsdir() + QStringLiteral("/new.lang")));
    for (Service service : {kBabelfish, kGoogle}) {
        const QString last = prefs.GetString(serviceOf(service).lastLanguageKey);
        if (last.isEmpty()) {
            continue;
        }
        const int index = m_languages[service]->findText(last, Qt::MatchFixedString);
        if (index >= 0) {
            m_languages[service]->setCurrentIndex(index);
        }
    }
}

void COptionsPanel5::LoadEditor() {
    if (m_languages[kBabelfish]->count() == 0) {
        fetchLanguageLists();
    }
    enableServices();
    initFileAndLanguages();
    m_builtIn.Clear();
    m_builtIn.LoadBuiltIn();
    m_loaded.Clear();
    const QString file = m_file->text();
    if (QFileInfo::exists(file)) {
        m_loaded.Load(file);
    }
    fillGrid();
}

void COptionsPanel5::fillGrid() {
    m_grid->BeginLoad();
    const XmlElementStack stack;
    KPROPS none(100, 10);
    KPROPS gridAttributes(100, 10);
    gridAttributes.Add(QStringLiteral("menu"), QStringLiteral("LangPackEditor"));
    m_grid->XMLHandleStartTag(QStringLiteral("grid"), gridAttributes, {}, stack);
    m_grid->XMLHandleStartTag(QStringLiteral("grid-props"), none, QStringLiteral("grid"), stack);
    m_grid->XMLHandleEndTag(QStringLiteral("num-cols"), QStringLiteral("5"),
                            none, QStringLiteral("grid-props"), stack);
    m_grid->XMLHandleEndTag(QStringLiteral("grid-props"), {}, none, QStringLiteral("grid"), stack);
    m_grid->XMLHandleStartTag(QStringLiteral("headers"), none, QStringLiteral("grid"), stack);
    for (const EditorColumn& column : kColumns) {
        m_grid->AddColumn(QString::fromUtf16(column.id), QString::fromUtf16(column.header),
                          QStringLiteral("[L]"));
    }
    m_grid->XMLHandleEndTag(QStringLiteral("headers"), {}, none, QStringLiteral("grid"), stack);
    m_grid->XMLHandleStartTag(QStringLiteral("data"), none, QStringLiteral("grid"), stack);
    for (int i = 0; i < m_builtIn.Count(); ++i) {
        const QString key = m_builtIn.GetNameAt(i);
        m_grid->XMLHandleStartTag(QStringLiteral("row"), none, QStringLiteral("data"), stack);
        m_grid->AddCell(key);
        m_grid->AddCell(m_builtIn.GetValueAt(i));
        m_grid->AddCell(m_loaded.GetValue(key));
        m_grid->AddCell(QString());
        m_grid->AddCell(QString());
        m_grid->XMLHandleEndTag(QStringLiteral("row"), {}, none, QStringLiteral("data"), stack);
    }
    m_grid->XMLHandleEndTag(QStringLiteral("data"), {}, none, QStringLiteral("grid"), stack);
    m_grid->XMLHandleEndTag(QStringLiteral("grid"), {}, none, {}, stack);
    m_grid->EndLoad();
    // Texts run long: every column gets room for a readable part of them.
    for (int col = 0; col < m_grid->GetColumnCount(); ++col) {
        m_grid->SetColumnWidth(col, kColumnWidth);
    }
    // Only the pack's own column takes typed translations.
    m_grid->SetEditable(true);
    m_grid->update();
}

void COptionsPanel5::StoreEditorPrefs() {
    CPreferences& prefs = m_dialog.Site().Prefs();
    for (Service service : {kBabelfish, kGoogle}) {
        QComboBox* combo = m_languages[service];
        if (combo->currentIndex() >= 0 && !combo->currentData().toString().isEmpty()) {
            prefs.SetString(serviceOf(service).lastLanguageKey, combo->currentText());
        }
    }
    prefs.SetString(QStringLiteral("LanguagePack"), m_file->text());
    prefs.SavePrefs(0);
}

void COptionsPanel5::openPack(bool create) {
    QString path;
    if (!m_dialog.Site().PromptForFile(
            !create, path, Getlocalsettingsdir() + QStringLiteral("/*.lang"), QStringLiteral("lang"),
            QStringLiteral("Language Pack Files (*.lang)|*.lang|All Files (*.*)|*.*||"), this)) {
        return;
    }
    m_dialog.Site().Prefs().SetString(QStringLiteral("LanguagePack"), path);
    m_languages[kBabelfish]->clear();
    m_languages[kGoogle]->clear();
    LoadEditor();
    m_edits = 1;
}

void COptionsPanel5::OnCreate() {
    openPack(true);
}

void COptionsPanel5::OnOpen() {
    openPack(false);
}

QString COptionsPanel5::languageCode(Service service) {
    const QString code = m_languages[service]->currentData().toString();
    if (code.isEmpty()) {
        m_dialog.Site().MessageBox(QStringLiteral("Pick a language."), kPopupError);
    }
    return code;
}

void COptionsPanel5::setCell(int row, int col, const QString& text) {
    m_grid->SetItemText(row, col, text);
    m_grid->RedrawRow(row);
}

bool COptionsPanel5::readyToTranslate(Service service, QString& pair) {
    if (serviceAddress(service).isEmpty() || m_worker.IsRunning()) {
        return false;
    }
    pair = languageCode(service);
    return !pair.isEmpty();
}

void COptionsPanel5::MachineTranslate(Service service, bool allRows) {
    QString pair;
    if (!readyToTranslate(service, pair)) {
        return;
    }
    const int thisTx = ColumnOf(kThisTx);
    const int builtIn = ColumnOf(kBuiltIn);
    const QString language = m_languages[service]->currentText();
    if (!language.isEmpty()) {
        m_grid->SetItemText(0, referenceColumn(service),
                            serviceOf(service).name + QStringLiteral("\n\r(") + language + u')');
    }
    RowTexts rows;
    for (int row = 1; row < m_grid->GetRowCount(); ++row) {
        if (allRows || m_grid->GetItemText(row, thisTx).isEmpty()) {
            rows.emplace_back(row, m_grid->GetItemText(row, builtIn));
        }
    }
    m_progress->Start(QStringLiteral("Performing machine translations..."), {},
                      m_grid->GetRowCount(), true, nullptr);
    runTranslations(service, pair, std::move(rows), true);
    m_progress->Done();
}

void COptionsPanel5::TranslateSelected(Service service) {
    QString pair;
    if (!readyToTranslate(service, pair)) {
        return;
    }
    const int builtIn = ColumnOf(kBuiltIn);
    RowTexts rows;
    for (int row = 1; row < m_grid->GetRowCount(); ++row) {
        if (m_grid->IsRowSelected(row)) {
            rows.emplace_back(row, m_grid->GetItemText(row, builtIn));
        }
    }
    const int focus = m_grid->GetFocusCell().row;
    if (focus >= 1 && focus < m_grid->GetRowCount() && !m_grid->IsRowSelected(focus)) {
        rows.emplace_back(focus, m_grid->GetItemText(focus, builtIn));
    }
    runTranslations(service, pair, std::move(rows), false);
}

void COptionsPanel5::runTranslations(Service service, const QString& pair, RowTexts rows,
                                     bool machineRun) {
    const TranslationService& described = serviceOf(service);
    const QString address = serviceAddress(service);
    const int target = referenceColumn(service);
    COptionsSite& site = m_dialog.Site();
    m_worker.RunAndWait(
        [this, rows = std::move(rows), address, pair, target, machineRun,
         &described](CMyWire& wire) {
            for (const auto& entry : rows) {
                if (m_worker.IsCancelled()) {
                    return;
                }
                // A plain variable, not a structured binding: the lambda
                // below captures it, which clang 14 cannot do with a binding.
                const int row = entry.first;
                QString text = entry.second;
                const TranslationResult result =
                    FetchTranslation(wire, described, address, pair, text);
                m_worker.Post([this, row, target, text, result, machineRun] {
                    // A run over the rows shows the untranslated text where
                    // a translation failed; a selection keeps its cell.
                    if (result.ok || machineRun) {
                        setCell(row, target, text);
                    }
                    if (machineRun) {
                        m_progress->Step(1);
                    }
                    if (!result.ok) {
                        m_dialog.Site().MessageBox(result.message, kPopupError);
                    }
                });
                // The error box raises the cancel flag: a run over the rows
                // ends there, a selection goes on with its next row.
                if (!result.ok && machineRun) {
                    return;
                }
            }
        },
        [this, &site, machineRun] {
            return machineRun && (m_progress->IsCancelled() || site.CancelFlag() != 0);
        });
}

void COptionsPanel5::CopyReferenceColumn(Service service) {
    const int reference = referenceColumn(service);
    const int thisTx = ColumnOf(kThisTx);
    for (int row = 1; row < m_grid->GetRowCount(); ++row) {
        if (!m_grid->IsRowSelected(row)) {
            continue;
        }
        const QString text = m_grid->GetItemText(row, reference);
        if (text != m_grid->GetItemText(row, thisTx)) {
            setCell(row, thisTx, text);
            ++m_edits;
        }
    }
}

void COptionsPanel5::CopyReferenceCell(int row, int col) {
    if (row < 1 || row >= m_grid->GetRowCount()) {
        return;
    }
    if (col == referenceColumn(kBabelfish)) {
        kDebugLog(u"copy Babelfish to LangPack...\n");
    } else if (col == referenceColumn(kGoogle)) {
        kDebugLog(u"copy Google to LangPack...\n");
    } else {
        return;
    }
    setCell(row, ColumnOf(kThisTx), m_grid->GetItemText(row, col));
    ++m_edits;
}

QMenu* COptionsPanel5::BuildContextMenu(int row, int col) {
    if (row < 1 || row >= m_grid->GetRowCount()) {
        return nullptr;
    }
    QMenu* loaded = LoadMenuResource(IDR_POPUP_TRANSLATION_GRID, this);
    QMenu* menu = FirstSubMenu(loaded);
    if (menu == nullptr) {
        delete loaded;
        return nullptr;
    }
    for (Service service : {kBabelfish, kGoogle}) {
        QAction* translate = FindMenuCommand(
            menu, service == kBabelfish ? kTranslateBabelfish : kTranslateGoogle);
        translate->setEnabled(col == 1 && !serviceAddress(service).isEmpty());
    }
    const CLangPack& pack = m_dialog.Site().LangPack();
    if (pack.IsFileLoaded()) {
        pack.TranslateMenu(menu);
    }
    connect(menu, &QMenu::triggered, this, [this](QAction* action) {
        OnCommand(static_cast<int>(MenuCommandId(action)));
    });
    return menu;
}

void COptionsPanel5::ShowContextMenu(int row, int col) {
    QMenu* menu = BuildContextMenu(row, col);
    if (menu == nullptr) {
        return;
    }
    menu->exec(QCursor::pos());
    menu->parentWidget()->deleteLater();
}

void COptionsPanel5::OnCommand(int commandId) {
    switch (commandId) {
        case kSelectAll: m_grid->SelectAllCells(); break;
        case kExportSelected: exportRows(true); break;
        case kExportAll: exportRows(false); break;
        case kCopyBabelfish: CopyReferenceColumn(kBabelfish); break;
        case kCopyGoogle: CopyReferenceColumn(kGoogle); break;
        case kTranslateBabelfish: TranslateSelected(kBabelfish); break;
        case kTranslateGoogle: TranslateSelected(kGoogle); break;
        default: break;
    }
}

void COptionsPanel5::exportRows(bool selectedOnly) {
    // Ctrl or Shift held also writes the hidden columns.
    const bool modifierHeld =
        (QApplication::keyboardModifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) != 0;
    QString path;
    if (!m_dialog.Site().PromptForFile(false, path, QStringLiteral("LangPackEditor"),
                                       QStringLiteral("csv"),
                                       QStringLiteral("CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||"),
                                       this)) {
        return;
    }
    m_grid->SaveAsCSV(selectedOnly, modifierHeld, path);
}

qintptr COptionsPanel5::OnGridNotify(GridNotifyHeader* header) {
    const auto* info = reinterpret_cast<const GridNotifyInfo*>(header);
    kDebugLog(u"%s on: Row=%d, Col=%d\n", notificationName(header->code), info->iRow,
              info->iColumn);
    const int thisTx = ColumnOf(kThisTx);
    switch (header->code) {
        case NM_RCLICK:
            ShowContextMenu(info->iRow, info->iColumn);
            return 0;
        case NM_DBLCLK:
            CopyReferenceCell(info->iRow, info->iColumn);
            return 0;
        case GVN_BEGINLABELEDIT:
            return info->iColumn == thisTx ? 0 : -1;
        case GVN_ENDLABELEDIT:
            // Only a changed translation makes the pack worth writing.
            if (info->iColumn == thisTx) {
                ++m_edits;
            }
            return 0;
        default:
            return 0;
    }
}

bool COptionsPanel5::SaveLanguagePack() {
    if (m_edits == 0) {
        return true;
    }
    COptionsSite& site = m_dialog.Site();
    const QString file = m_file->text();
    CProgressBar& progress = *m_progress;
    progress.Start(QStringLiteral("Saving ") + file + QStringLiteral(" ..."), {},
                   m_grid->GetRowCount(), true, nullptr);
    const int keyColumn = ColumnOf(kString);
    const int thisTx = ColumnOf(kThisTx);
    const int builtIn = ColumnOf(kBuiltIn);
    KPROPS pack(100, 10);
    for (int row = 1; row < m_grid->GetRowCount(); ++row) {
        progress.Step(1);
        if (progress.IsCancelled() || site.CancelFlag() != 0) {
            progress.Done();
            return false;
        }
        const QString key = withBreakMarks(m_grid->GetItemText(row, keyColumn));
        QString value = m_grid->GetItemText(row, thisTx);
        if (value.isEmpty()) {
            value = m_grid->GetItemText(row, builtIn);
        }
        if (!KPROPS::IsStorableName(key)) {
            kWarningLog(u"Language pack: left out the text \"%s\", which a pack file cannot hold.\n",
                        key);
            continue;
        }
        pack.Add(key, withBreakMarks(value));
    }
    progress.Done();
    if (pack.FileStore(file, true) == 0) {
        site.MessageBox(QStringLiteral("Save failed: ") + file, kPopupError);
        return false;
    }
    m_edits = 0;
    return true;
}
