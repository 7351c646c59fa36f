#pragma once

// The record behind every node of the World View tree. CMyItem holds an
// ordinary node (root, folder, server-side component, directory entry);
// CSystemItem holds a server entry and owns its connection record. Each
// record carries an item id of its own, unique in the process, by which other
// processes and the clipboard can name it.

#include "framework/kprops.h"
#include "tree/panelparts.h"
#include "tree/serverconnection.h"

#include <QString>

#include <memory>

// Kind letters of ItemType.
enum ItemKind : int {
    kKindUnclassified = 'U',
    kKindRoot = 'R',
    kKindFolder = 'F',
    kKindSystem = 'S',
    kKindComponent = 'C',
    kKindDirectory = 'D',
};

// Bits of PanelParts: which right-hand panes an item shows.
enum PanelPart : quint64 {
    kPanelGrid = 0x1,
    kPanelList = 0x2,
    kPanelSecond = 0x4,
    kPanelBrowser = 0x8,
    kPanelDialog = 0x10,
};

// Dialog templates of the right-hand panel (PanelDialog).
enum PanelDialogId : int {
    kDialogLogin = 257,
    kDialogElementChooser = 302,
    kDialogLogout = 5386,
};

// A server directory entry; mode bit 0x4000 marks a directory.
struct FileEntry {
    static constexpr quint32 kDirectoryMode = 0x4000;
    static constexpr int kMaxOwner = 19;

    quint32 Mode = 0;
    quint32 Bytes = 0;
    qint64 LastModified = 0;  // seconds, UTC
    QString Owner;            // at most kMaxOwner characters
};

class CMyItem {
public:
    // The record holds 300 characters with its terminator.
    static constexpr int kMaxLabel = 299;
    // SmartTree splits a label into at most this many pieces.
    static constexpr int kMaxSmartLevels = 50;

    CMyItem();
    CMyItem(const CMyItem& other);
    CMyItem& operator=(const CMyItem&) = delete;
    virtual ~CMyItem();

    // A copy of the same kind (a server entry copies its connection too).
    virtual std::unique_ptr<CMyItem> Clone() const;
    // Copies every field but the item id.
    void CopyFrom(const CMyItem& other);

    quint32 GetItemId() const { return m_itemId; }

    const QString& GetLabel() const { return m_label; }
    // Stores at most kMaxLabel characters.
    void SetLabel(const QString& label);

    // True when the item has something to be filled from: a tree URL or a
    // panel part. Pruning keeps such items; they are the refreshable ones.
    bool HasContent() const;

    const QString& GetHelpURL() const { return m_helpURL; }
    void SetHelpURL(const QString& url) { m_helpURL = url; }
    const QString& GetHoverText() const { return m_hoverText; }
    // "%0a" and "%0d" become a line feed and a carriage return.
    void SetHoverText(const QString& text);
    // Stored without ".menu"; an empty name keeps the previous one.
    const QString& GetMenuName() const { return m_menuName; }
    void SetMenuName(const QString& name);
    const QString& GetDragType() const { return m_dragType; }
    void SetDragType(const QString& type) { m_dragType = type; }

    // The SmartTree level limit, 50 when none (0) is given and never more.
    int SmartLevels() const;

    QString ID;
    int ItemType = kKindUnclassified;
    int ImageIdx = 0;
    CPanelParts Parts;
    int SelectedTab = 0;  // 1-based; 0 = none
    quint64 PanelParts = 0;
    int PanelDialog = 0;
    QString TreeURL;
    QString FullPath;
    FileEntry File;
    QString SmartDelim;
    int SmartMax = 0;
    int SmartRepeat = 0;
    QString SmartSuffix;
    int SmartFolder = 0;
    int RefreshSecs = 0;
    KPROPS Attributes{100, 10};
    int Count = -1;

private:
    quint32 m_itemId;
    QString m_label;
    QString m_helpURL;
    QString m_hoverText;
    QString m_menuName;
    QString m_dragType;
};

class CSystemItem : public CMyItem {
public:
    // A server entry with a fresh connection record.
    CSystemItem();
    // A server entry made of an item and a copy of the connection.
    CSystemItem(const CMyItem& item, const CServerConnection& connection);
    CSystemItem(const CSystemItem& other);
    ~CSystemItem() override;

    std::unique_ptr<CMyItem> Clone() const override;

    CServerConnection* GetSystem() const { return m_system.get(); }

private:
    std::unique_ptr<CServerConnection> m_system;
};

// The connection of a server entry's record; null for any other record.
CServerConnection* ConnectionOf(const CMyItem* item);
