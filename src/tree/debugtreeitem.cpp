#include "tree/debugtreeitem.h"

#include "framework/kformat.h"
#include "tree/leftview.h"
#include "tree/mydropinfo.h"
#include "tree/mytree.h"
#include "tree/treenode.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Ampersands doubled, so a label shows them rather than a mnemonic; an
// empty text shows "(nil)".
QString shown(const QString& text) {
    if (text.isEmpty()) {
        return QStringLiteral("(nil)");
    }
    QString doubled = text;
    doubled.replace(u'&', QStringLiteral("&&"));
    return doubled;
}

QString trueFalse(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString secondsSince(qint64 time) {
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    return kFormat(u"%lu", static_cast<unsigned long>(time > 0 && now > time ? now - time : 0));
}

}  // namespace

CDebugTreeItem::CDebugTreeItem(CMyTree& tree, QTreeWidgetItem* item, CLeftView& pane,
                               QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("TreeView Object Debugger"));
    setProperty("controlId", kTemplateId);
    auto* layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    m_menuLines = new QListWidget(this);
    m_menuLines->setProperty("controlId", 5493);
    m_dragObjects = new QListWidget(this);
    m_dragObjects->setProperty("controlId", 5496);
    m_dropTargets = new QListWidget(this);
    m_dropTargets->setProperty("controlId", 5497);
    m_menus = new QTableWidget(0, 2, this);
    m_menus->setProperty("controlId", 5495);
    m_menus->setHorizontalHeaderLabels({QStringLiteral("Menu Name"), QStringLiteral("#Items")});
    m_menus->setColumnWidth(0, 100);
    m_menus->setColumnWidth(1, 60);
    m_checker = new QLabel(this);
    for (QLabel*& action : m_actions) {
        action = new QLabel(this);
    }
    // The debugger's own buttons only look the record up again: they show
    // nothing and stay disabled.
    auto* studio =
        new QPushButton(QStringLiteral("[Studio] Debug this CMyTree HTREEITEM ..."), this);
    studio->setProperty("controlId", 5476);
    studio->setEnabled(false);

    const CMyItem* record = tree.GetMyItem(item);
    if (record != nullptr) {
        addLine(QStringLiteral(".GetFullCurl():"), shown(tree.GetFullCurl(item)));
        addLine(QStringLiteral(".GetItemText():"), shown(item->text(0)));
        addLine(QStringLiteral(".ItemHasChildren():"), trueFalse(tree.ItemHasChildren(item)));
        addLine(
            QStringLiteral(".lParam (CMyItem*):"),
            kFormat(u"0x%08lx", static_cast<unsigned long>(reinterpret_cast<quintptr>(record))));
        addLine(QStringLiteral("ID/CMO:"), shown(tree.GetID(item)));
        addLine(QStringLiteral("ItemType:"),
                kFormat(u"%d ('%c')", record->ItemType, QChar(record->ItemType)));
        addLine(QStringLiteral("PanelParts:"),
                kFormat(u"0x%08lx", static_cast<unsigned long>(record->PanelParts)));
        addLine(QStringLiteral("ImageIdx:"),
                kFormat(u"%lu", static_cast<unsigned long>(record->ImageIdx)));
        addLine(QStringLiteral("TreeURL:"), shown(record->TreeURL));
        addLine(QStringLiteral("RefreshSecs:"),
                kFormat(u"%lu", static_cast<unsigned long>(record->RefreshSecs)));
        addLine(QStringLiteral("HelpURL:"), shown(record->GetHelpURL()));
        addLine(QStringLiteral("HoverText:"), shown(record->GetHoverText()));
        addLine(QStringLiteral("DragType:"), shown(record->GetDragType()));
        const CServerConnection* system = tree.GetSystem(item);
        m_rules = system != nullptr ? system->GetDropRulesList() : nullptr;
        const CMyDropInfo* rule =
            m_rules != nullptr ? &m_rules->Find(record->GetDragType()) : nullptr;
        addLine(QStringLiteral("IsDraggable:"), trueFalse(rule != nullptr && rule->IsDraggable()));
        QStringList targets;
        if (rule != nullptr) {
            for (int i = 0; i < rule->GetTargets().Count(); ++i) {
                targets << rule->GetTargets().GetNameAt(i);
            }
        }
        addLine(QStringLiteral("DroppableHere:"), shown(targets.join(u'\n')));
        addLine(QStringLiteral("MenuName:"), shown(record->GetMenuName()));
        QMenu popup;
        pane.BuildPopupMenu(popup, item, m_menuLines);
        if (ConnectionOf(record) != nullptr) {
            fillServerPart(*record);
        }
    }
    layout->addWidget(m_menuLines);
    layout->addWidget(studio);
    m_menus->setVisible(m_serverPart);
    m_dragObjects->setVisible(m_serverPart);
    m_dropTargets->setVisible(m_serverPart);
    m_checker->setVisible(m_serverPart);
    for (QLabel* action : m_actions) {
        action->setVisible(m_serverPart);
        layout->addWidget(action);
    }
    layout->addWidget(m_menus);
    layout->addWidget(m_dragObjects);
    layout->addWidget(m_dropTargets);
    layout->addWidget(m_checker);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void CDebugTreeItem::addLine(const QString& label, const QString& value) {
    auto* text = new QLabel(value, this);
    text->setTextFormat(Qt::PlainText);
    text->setObjectName(label);
    m_form->addRow(label, text);
}

const QLabel* CDebugTreeItem::Value(const QString& label) const {
    return findChild<QLabel*>(label);
}

void CDebugTreeItem::fillServerPart(const CMyItem& record) {
    const CServerConnection* system = ConnectionOf(&record);
    const CServerConnection::SessionFacts facts = system->GetSessionFacts();
    m_serverPart = true;
    addLine(QStringLiteral("StartURL():"), shown(facts.startURL));
    addLine(QStringLiteral("Login Secs:"), secondsSince(facts.loginTime));
    addLine(QStringLiteral("Idle Secs:"),
            facts.loginTime > 0 ? secondsSince(facts.lastRequestTime) : QStringLiteral("0"));
    for (const auto& [name, count] : facts.menus) {
        const int row = m_menus->rowCount();
        m_menus->insertRow(row);
        m_menus->setItem(row, 0, new QTableWidgetItem(name));
        m_menus->setItem(row, 1, new QTableWidgetItem(QString::number(count)));
    }
    if (m_rules != nullptr) {
        for (int i = 0; i < m_rules->Count(); ++i) {
            const QString type = m_rules->RuleAt(i).GetDragType();
            m_dragObjects->addItem(type);
            m_dropTargets->addItem(type);
        }
    }
    connect(m_dragObjects, &QListWidget::currentRowChanged, this, [this] { checkPair(); });
    connect(m_dropTargets, &QListWidget::currentRowChanged, this, [this] { checkPair(); });
    checkPair();
}

void CDebugTreeItem::checkPair() {
    for (QLabel* action : m_actions) {
        action->clear();
    }
    const QListWidgetItem* dragged = m_dragObjects->currentItem();
    const QListWidgetItem* target = m_dropTargets->currentItem();
    if (m_rules == nullptr || dragged == nullptr || target == nullptr) {
        m_checker->setText(QStringLiteral("(pick a combo)"));
        return;
    }
    if (!m_rules->Find(dragged->text()).IsDraggable()) {
        m_checker->setText(dragged->text() + QStringLiteral("\n\ris not draggable"));
        return;
    }
    const CMyDropInfo& targetRule = m_rules->Find(target->text());
    if (targetRule.CanDrop(dragged->text())) {
        m_checker->setText(QStringLiteral("legal combo"));
        QString actions[3];
        targetRule.GetActions(dragged->text(), actions[0], actions[1], actions[2]);
        for (int i = 0; i < 3; ++i) {
            m_actions[i]->setText(actions[i]);
        }
        return;
    }
    m_checker->setText(dragged->text() + QStringLiteral("\n\rcannot be dropped on\n\r") +
                       target->text());
}

QString CDebugTreeItem::CheckerText() const {
    return m_checker->text();
}

QString CDebugTreeItem::ActionText(int index) const {
    return m_actions[index]->text();
}
