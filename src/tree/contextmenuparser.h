#pragma once

// Reads a server's context-menu XML into a menu set: "menu" elements name
// the menus, "menu-item" and "separator" elements directly inside a menu
// become its entries. Other elements are left to the common reply handling.

#include "net/expatmywire.h"

#include <QString>

class CContextMenu;
class CContextMenuSet;

class CContextMenuParser : public CExpatMyWire {
public:
    CContextMenuParser();
    ~CContextMenuParser() override;

    // Empties the set and fills it from the text; `label` names the caller
    // in the log. 0 when a load is already running in this process.
    int LoadFromXML(CContextMenuSet& set, const QString& xml, const QString& label);

    int XMLHandleStartTag(const QString& name, const KPROPS& attributes, const QString& parent,
                          const XmlElementStack& stack) override;

private:
    void openMenu(const QString& name, const KPROPS& attributes);
    void addEntry(const QString& name, const KPROPS& attributes, const QString& parent);

    CContextMenuSet* m_set = nullptr;
    CContextMenu* m_currentMenu = nullptr;
};
