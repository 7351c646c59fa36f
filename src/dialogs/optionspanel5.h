#pragma once

// The language-pack editor (a hidden page of the options dialog): every
// built-in text of the console in a grid beside its translation in the
// chosen pack file and two reference translations that two web translation
// services can fill. The user copies or types translations; the dialog's
// Apply writes the file when a translation changed.

#include "dialogs/translationworker.h"
#include "gridctrl/gridowner.h"
#include "settings/langpack.h"

#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class COptionsDialog;
class CMyGrid;
class CProgressBar;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;
struct TranslationService;

class COptionsPanel5 : public QWidget, public CGridOwner {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 5468;
    static constexpr int kGridId = 5454;
    enum Service : int { kBabelfish, kGoogle };
    // The menu commands of the grid's context menu.
    enum Command : int {
        kCopyBabelfish = 32843,
        kCopyGoogle = 32844,
        kSelectAll = 32846,
        kExportSelected = 32847,
        kExportAll = 32848,
        kTranslateBabelfish = 32849,
        kTranslateGoogle = 32850,
    };

    explicit COptionsPanel5(COptionsDialog& dialog);
    ~COptionsPanel5() override;

    void OnInitDialog();
    // Fills the grid from the built-in texts and the pack file (each time
    // the page is shown; unsaved cell edits are dropped).
    void LoadEditor();
    void StoreEditorPrefs();
    void OnCreate();
    void OnOpen();
    void MachineTranslate(Service service, bool allRows);
    void TranslateSelected(Service service);
    void CopyReferenceColumn(Service service);
    void CopyReferenceCell(int row, int col);
    // The context menu of a grid row; null outside the rows.
    QMenu* BuildContextMenu(int row, int col);
    void ShowContextMenu(int row, int col);
    void OnCommand(int commandId);
    // Writes the pack when it has edits; true when nothing needed writing or
    // the file was written.
    bool SaveLanguagePack();
    bool IsEdited() const { return m_edits != 0; }
    int EditCount() const { return m_edits; }

    qintptr OnGridNotify(GridNotifyHeader* header) override;

    CMyGrid& Grid() { return *m_grid; }
    QComboBox& LanguageCombo(Service service) { return *m_languages[service]; }
    QPushButton& TranslateAllButton(Service service) { return *m_translateAll[service]; }
    QPushButton& TranslateBlanksButton(Service service) { return *m_translateBlanks[service]; }
    QLineEdit& FileEdit() { return *m_file; }
    QPushButton& CreateButton() { return *m_create; }
    QPushButton& OpenButton() { return *m_openButton; }
    // The progress dialog of translations, language lists and saves.
    CProgressBar& Progress() { return *m_progress; }
    // The grid column of a column id ("string", "built-in", "this-tx",
    // "ref1", "ref2"); -1 before the first load.
    int ColumnOf(const QString& id) const;

private:
    // The rows a translation run asks for: grid row and built-in text.
    using RowTexts = std::vector<std::pair<int, QString>>;

    const TranslationService& serviceOf(Service service) const;
    // The service is on, idle and has a language chosen (else the user is told).
    bool readyToTranslate(Service service, QString& pair);
    // Fetches the rows' translations on the worker into the service's
    // column. A machine run steps the progress, shows a failed row's
    // untranslated text and stops there; a selection keeps failed cells.
    void runTranslations(Service service, const QString& pair, RowTexts rows, bool machineRun);
    int referenceColumn(Service service) const;
    QString serviceAddress(Service service) const;
    void fetchLanguageLists();
    void initFileAndLanguages();
    void enableServices();
    void fillGrid();
    // The chosen language code; empty after telling the user to pick one.
    QString languageCode(Service service);
    void openPack(bool create);
    void setCell(int row, int col, const QString& text);
    void exportRows(bool selectedOnly);

    COptionsDialog& m_dialog;
    CMyGrid* m_grid;
    QGroupBox* m_translation;
    CLangPack m_builtIn;
    CLangPack m_loaded;
    std::array<QComboBox*, 2> m_languages{};
    std::array<QPushButton*, 2> m_translateAll{};
    std::array<QPushButton*, 2> m_translateBlanks{};
    QLineEdit* m_file;
    QPushButton* m_create;
    QPushButton* m_openButton;
    QPushButton* m_url;
    int m_edits = 0;
    std::unique_ptr<CProgressBar> m_progress;
    CTranslationWorker m_worker;
};
