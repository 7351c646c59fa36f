#include "tree/mydropinfo.h"

#include "framework/klog.h"

namespace {

const QString kDragInfo = QStringLiteral("drag-info");
const QString kDropTarget = QStringLiteral("drop-target");
const QString kDragType = QStringLiteral("drag-type");

bool isActionName(const QString& name) {
    return name.startsWith(u"action");
}

// "draggable" is a decimal number; an empty or absent one means 1.
bool draggableValue(const KPROPS& attributes) {
    const QString text = attributes.GetValue(QStringLiteral("draggable"));
    return text.isEmpty() || text.trimmed().toLongLong() != 0;
}

}  // namespace

bool CMyDropInfo::IsDraggable() const {
    kDebugLog(u"%s is %s\n", m_dragType, m_draggable ? u"draggable" : u"NOT draggable");
    return m_draggable;
}

bool CMyDropInfo::CanDrop(const QString& draggedType) const {
    return !draggedType.isEmpty() && m_targets.FindIndex(draggedType.toLower()) >= 0;
}

bool CMyDropInfo::GetActions(const QString& draggedType, QString& action1, QString& action2,
                             QString& action3) const {
    const int index = m_targets.FindIndex(draggedType.toLower());
    if (draggedType.isEmpty() || index < 0) {
        return false;
    }
    action1 = m_targets.GetValueAt(index);
    action2 = m_targets.GetExtra1At(index);
    action3 = m_targets.GetExtra2At(index);
    return true;
}

void CMyDropInfo::CopyFrom(const CMyDropInfo& other) {
    other.IsDraggable();
    m_dragType = other.m_dragType;
    m_draggable = other.m_draggable;
    m_targets.Merge(&other.m_targets);
}

void CMyDropInfo::AddTarget(const QString& targetType, const QString& action1,
                            const QString& action2, const QString& action3) {
    if (!targetType.isEmpty()) {
        m_targets.Add(targetType.toLower(), action1, action2, action3);
    }
}

void CMyDropInfo::AddPendingTarget() {
    AddTarget(m_pendingTarget, m_pendingActions[0], m_pendingActions[1], m_pendingActions[2]);
    ClearPending();
}

void CMyDropInfo::ClearPending() {
    m_pendingTarget.clear();
    for (QString& action : m_pendingActions) {
        action.clear();
    }
}

// Every server entry has one; most never load theirs.
CMyDropInfoList::CMyDropInfoList() : CExpatMyWire(ParserTiming::OnFirstChunk) {
    m_className = QStringLiteral("CMyDropInfoList");
}

CMyDropInfoList::~CMyDropInfoList() = default;

const CMyDropInfo& CMyDropInfoList::emptyRule() {
    static const CMyDropInfo rule;
    return rule;
}

bool CMyDropInfoList::LoadFromXML(const QString& text) {
    m_current = nullptr;
    const bool parsed = ParseXML(text);
    m_current = nullptr;
    return parsed;
}

void CMyDropInfoList::Clear() {
    m_current = nullptr;
    m_rules.clear();
}

CMyDropInfo* CMyDropInfoList::findRule(const QString& dragType) const {
    const QString type = dragType.toLower();
    for (const auto& rule : m_rules) {
        if (rule->m_dragType == type) {
            return rule.get();
        }
    }
    return nullptr;
}

const CMyDropInfo& CMyDropInfoList::Find(const QString& dragType) const {
    const CMyDropInfo* rule = findRule(dragType);
    return rule != nullptr ? *rule : emptyRule();
}

CMyDropInfo& CMyDropInfoList::GetOrAdd(const QString& dragType) {
    CMyDropInfo* found = findRule(dragType);
    if (found != nullptr && !found->m_dragType.isEmpty()) {
        return *found;
    }
    auto rule = std::make_unique<CMyDropInfo>();
    rule->m_dragType = dragType.toLower();
    rule->m_draggable = true;
    m_rules.push_back(std::move(rule));
    return *m_rules.back();
}

CMyDropInfo* CMyDropInfoList::GetLast() const {
    return m_rules.empty() ? nullptr : m_rules.back().get();
}

bool CMyDropInfoList::IsDragDropElementName(const QString& name) {
    return name.startsWith(u"drag-", Qt::CaseInsensitive) ||
           name.startsWith(u"drop-", Qt::CaseInsensitive);
}

int CMyDropInfoList::XMLHandleStartTag(const QString& name, const KPROPS& attributes,
                                       const QString& parent, const XmlElementStack& stack) {
    if (const int handled = CExpatMyWire::XMLHandleStartTag(name, attributes, parent, stack)) {
        return handled;
    }
    if (name == kDragInfo) {
        m_current = &GetOrAdd(attributes.GetValue(kDragType));
    }
    if (m_current == nullptr || (!IsDragDropElementName(name) && !IsDragDropElementName(parent))) {
        return 0;
    }
    if (name == kDragInfo) {
        openDragInfo(attributes);
    } else if (name == kDropTarget && attributes.Count() > 0) {
        addTargetFromAttributes(attributes);
    }
    return 1;
}

void CMyDropInfoList::openDragInfo(const KPROPS& attributes) {
    m_current->m_draggable = draggableValue(attributes) && !m_current->m_dragType.isEmpty();
}

void CMyDropInfoList::addTargetFromAttributes(const KPROPS& attributes) {
    const QString target = attributes.GetValue(kDragType);
    QString label = attributes.GetValue(QStringLiteral("id"));
    if (label.isEmpty()) {
        label = kFormat(u"'%s' on '%s'", m_current->m_dragType, target);
    }
    std::array<QString, CMyDropInfo::kMaxActions> actions;
    int found = 0;
    for (int i = 0; i < attributes.Count(); ++i) {
        const QString value = attributes.GetValueAt(i);
        if (!isActionName(attributes.GetNameAt(i)) || value.isEmpty()) {
            continue;
        }
        ++found;
        if (found <= CMyDropInfo::kMaxActions) {
            kDebugLog(u"DropInfoXML: %s, Action[%d] = %s\n", label, found, value);
            actions[found - 1] = value;
        } else if (found == CMyDropInfo::kMaxActions + 1) {
            WireServices().PopupMessage(kFormat(u"DragAndDrop XML: %s has more than %d actions "
                                                u"defined.",
                                                label, CMyDropInfo::kMaxActions),
                                        kPopupError);
        }
    }
    m_current->AddTarget(target, actions[0], actions[1], actions[2]);
    m_current->ClearPending();
}

int CMyDropInfoList::XMLHandleEndTag(const QString& name, const QString& text,
                                     const KPROPS& attributes, const QString& parent,
                                     const XmlElementStack& stack) {
    if (const int handled = CExpatMyWire::XMLHandleEndTag(name, text, attributes, parent, stack)) {
        return handled;
    }
    if (m_current == nullptr || (!IsDragDropElementName(name) && !IsDragDropElementName(parent))) {
        return 0;
    }
    if (parent.compare(kDropTarget, Qt::CaseInsensitive) != 0) {
        if (name == kDropTarget) {
            m_current->AddPendingTarget();
        } else if (kDebugLevel(0) > 1) {
            kDebugLog(u"XML:Unhandled tag: '%s' (parent='%s')\n", name, parent);
        }
    } else if (name == kDragType) {
        m_current->m_pendingTarget = text;
    } else if (isActionName(name)) {
        collectActionText(text);
    }
    return 1;
}

void CMyDropInfoList::collectActionText(const QString& text) {
    if (m_current->m_pendingTarget.isEmpty()) {
        WireServices().PopupMessage(
            QStringLiteral("DropInfo: drop-target action specified before drag-type was defined"),
            kPopupWarning);
        return;
    }
    for (QString& action : m_current->m_pendingActions) {
        if (action.isEmpty()) {
            action = text;
            return;
        }
    }
    WireServices().PopupMessage(kFormat(u"DropInfo: too many actions specified for dropping %s "
                                        u"on %s",
                                        m_current->m_pendingTarget, m_current->m_dragType),
                                kPopupWarning);
}
