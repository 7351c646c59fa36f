#include "tree/contextmenuparser.h"

#include "framework/klog.h"
#include "tree/contextmenu.h"

#include <atomic>

namespace {

// One load at a time in the process: the entries take command ids from the
// application's one table. Logins load on their own threads.
std::atomic<bool> g_loading{false};

const QString kMenu = QStringLiteral("menu");

}  // namespace

CContextMenuParser::CContextMenuParser() {
    m_className = QStringLiteral("CContextMenuParser");
}

CContextMenuParser::~CContextMenuParser() = default;

int CContextMenuParser::LoadFromXML(CContextMenuSet& set, const QString& xml,
                                    const QString& label) {
    if (g_loading.exchange(true)) {
        kDebugLog(u"CContextMenuParser::LoadFromXML(%s): menus are already being built.\n", label);
        return 0;
    }
    set.Clear();
    m_set = &set;
    m_currentMenu = nullptr;
    ParseXML(xml);
    m_set = nullptr;
    m_currentMenu = nullptr;
    g_loading.store(false);
    return 1;
}

int CContextMenuParser::XMLHandleStartTag(const QString& name, const KPROPS& attributes,
                                          const QString& parent, const XmlElementStack& stack) {
    if (const int handled = CExpatMyWire::XMLHandleStartTag(name, attributes, parent, stack)) {
        return handled;
    }
    if (m_set == nullptr) {
        return 0;
    }
    if (name == kMenu) {
        openMenu(name, attributes);
        return 1;
    }
    if (name == u"menu-item" || name == u"separator") {
        addEntry(name, attributes, parent);
        return 1;
    }
    return 0;
}

void CContextMenuParser::openMenu(const QString& name, const KPROPS& attributes) {
    const QString id = attributes.GetValue(QStringLiteral("id"));
    if (id.isEmpty()) {
        m_currentMenu = nullptr;
        WireServices().PopupMessage(
            kFormat(u"XML Error: <%s> tag with no %s='...' attribute.", name, u"id"), kPopupError);
        return;
    }
    m_currentMenu = &m_set->GetOrCreate(id);
    kDebugLog(u"[xml] menu: %s\n", id);
}

void CContextMenuParser::addEntry(const QString& name, const KPROPS& attributes,
                                  const QString& parent) {
    if (m_currentMenu == nullptr || parent != kMenu) {
        WireServices().PopupMessage(
            kFormat(u"XML Error: <%s> tag outside of proper context.", name), kPopupError);
        return;
    }
    CContextMenuItem& item = m_currentMenu->AddItem();
    for (int i = 0; i < attributes.Count(); ++i) {
        item.SetAttribute(attributes.GetNameAt(i), attributes.GetValueAt(i));
    }
    const bool separator = name == u"separator";
    item.SetSeparator(separator);
    kDebugLog(u"[xml]    [%06u] %s%.6s\n", item.GetCommandId(),
              item.GetAttribute(QStringLiteral("label")), separator ? u"------" : u"");
}
