#pragma once

// A server's drag-and-drop rules, sent in the "drag-info-list" section of its
// login reply. Each rule belongs to one drag type (an item's DragType): it
// says whether items of that type may be dragged, and, for the rule of a
// target item's type, which dragged types may be dropped onto it and which
// up to three actions such a drop runs.

#include "framework/kprops.h"
#include "net/expatmywire.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class CMyDropInfo {
public:
    static constexpr int kMaxActions = 3;

    // Logs whether the type may be dragged and answers it.
    bool IsDraggable() const;
    // True when items of the dragged type may be dropped onto this rule's type.
    bool CanDrop(const QString& draggedType) const;
    // The three actions of a drop of the dragged type; false when it is not listed.
    bool GetActions(const QString& draggedType, QString& action1, QString& action2,
                    QString& action3) const;
    // Takes the other rule's type and flag and adds its targets.
    void CopyFrom(const CMyDropInfo& other);

    // Adds (or replaces) the target with its actions; an empty type adds nothing.
    void AddTarget(const QString& targetType, const QString& action1, const QString& action2,
                   const QString& action3);

    const QString& GetDragType() const { return m_dragType; }
    const KPROPS& GetTargets() const { return m_targets; }

private:
    friend class CMyDropInfoList;

    // The element form collects a target and its actions from child elements.
    void AddPendingTarget();
    void ClearPending();

    KPROPS m_targets{100, 10};  // name = dragged type, value = action 1, extras = actions 2 and 3
    QString m_dragType;
    bool m_draggable = false;
    QString m_pendingTarget;
    std::array<QString, kMaxActions> m_pendingActions;
};

class CMyDropInfoList : public CExpatMyWire {
public:
    CMyDropInfoList();
    ~CMyDropInfoList() override;

    // Reads a section wrapped in a "drag-info-list" element; the rules are
    // added to those already held.
    bool LoadFromXML(const QString& text);
    void Clear();

    // The rule of the type (compared in lower case); an empty rule, not
    // draggable and without targets, when there is none.
    const CMyDropInfo& Find(const QString& dragType) const;
    // The rule of the type, appended (draggable) when there is none.
    CMyDropInfo& GetOrAdd(const QString& dragType);
    // The last rule, null when there is none.
    CMyDropInfo* GetLast() const;
    int Count() const { return static_cast<int>(m_rules.size()); }
    const CMyDropInfo& RuleAt(int index) const { return *m_rules.at(index); }

    static bool IsDragDropElementName(const QString& name);

    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;
    int XMLHandleEndTag(const QString& name, const QString& text, const KPROPS& attributes,
                        const QString& parent, const XmlElementStack& stack) override;

private:
    static const CMyDropInfo& emptyRule();
    CMyDropInfo* findRule(const QString& dragType) const;
    void openDragInfo(const KPROPS& attributes);
    void addTargetFromAttributes(const KPROPS& attributes);
    void collectActionText(const QString& text);

    std::vector<std::unique_ptr<CMyDropInfo>> m_rules;
    // The rule that the latest "drag-info" selected; its children go to it.
    CMyDropInfo* m_current = nullptr;
};
