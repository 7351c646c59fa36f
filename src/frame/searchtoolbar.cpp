#include "frame/searchtoolbar.h"

#include "frame/framecommands.h"
#include "grid/mygrid.h"
#include "resources/strings.h"
#include "resources/toolbars.h"
#include "settings/langpack.h"
#include "settings/preferences.h"

#include <QAction>
#include <QLineEdit>
#include <QStyleOptionComboBox>

CSearchComboBox::CSearchComboBox(std::function<CMyGrid*()> grid, CPreferences& prefs,
                                 QWidget* parent)
    : QComboBox(parent),
      m_grid(std::move(grid)),
      m_prefs(prefs),
      m_cue(LangLookup(LoadResourceString(493))) {
    setObjectName(QStringLiteral("SearchComboBox"));
    setProperty("controlId", kFieldId);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The cue is drawn by the field while it is empty, so it is never text
    // that Enter could filter by.
    lineEdit()->setPlaceholderText(m_cue);
    setFixedWidth(fieldWidth());
    setToolTip(LangLookup(LoadResourceString(568)));
    connect(lineEdit(), &QLineEdit::textEdited, this, &CSearchComboBox::OnEditChange);
    connect(lineEdit(), &QLineEdit::returnPressed, this, &CSearchComboBox::ApplyFilter);
}

int CSearchComboBox::fieldWidth() const {
    // The line edit keeps two pixels either side of its text and one for
    // the caret.
    constexpr int kEditMargins = 2 * 2 + 1;
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, kFieldWidth, sizeHint().height());
    const int edit =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
            .width();
    const int cue = lineEdit()->fontMetrics().horizontalAdvance(m_cue) + kEditMargins;
    // Beside its arrow the field's usual width may not hold the whole cue.
    return kFieldWidth + qMax(0, cue - edit);
}

void CSearchComboBox::ApplyFilter() {
    if (CMyGrid* grid = Grid()) {
        grid->FilterRows(IsCueText() ? QString() : currentText(), kFilterFlags);
    }
}

void CSearchComboBox::OnEditChange() {
    if (m_prefs.GetInt(QStringLiteral("EnableRealtimeFilter"), 1) != 0) {
        ApplyFilter();
    }
}

void CSearchComboBox::SetFilter(const QString& text) {
    if (Grid() == nullptr) {
        return;
    }
    setEditText(text);
    ApplyFilter();
}

void CSearchComboBox::ShowCue() {
    lineEdit()->clear();
}

CommandHandler CSearchComboBox::CommandHandlerOf(int commandId) {
    switch (commandId) {
        case 57634:
            return [this] { lineEdit()->copy(); };
        case 57635:
            return [this] { lineEdit()->cut(); };
        case 57637:
            return [this] { lineEdit()->paste(); };
        default:
            return {};
    }
}

CSearchToolbar::CSearchToolbar(const QString& title, std::function<CMyGrid*()> grid,
                               CPreferences& prefs, QWidget* parent)
    : QToolBar(title, parent), m_field(new CSearchComboBox(std::move(grid), prefs, this)) {}

void CSearchToolbar::LoadButtons(CFrameCommands& commands) {
    for (unsigned commandId : ToolbarButtons(IDR_TOOLBAR_SEARCH)) {
        if (commandId == CSearchComboBox::kFieldId) {
            addWidget(m_field);
        } else if (QAction* action = commands.Action(commandId)) {
            addAction(action);
        }
    }
}

void CSearchToolbar::ClearFilter() {
    CMyGrid* grid = m_field->Grid();
    if (grid == nullptr) {
        return;
    }
    m_field->ShowCue();
    grid->FilterRows(QString(), CSearchComboBox::kFilterFlags);
    m_field->setFocus(Qt::OtherFocusReason);
}

bool CSearchToolbar::HasFieldFocus() const {
    return m_field->hasFocus() || m_field->lineEdit()->hasFocus();
}
