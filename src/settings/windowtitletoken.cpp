#include "settings/windowtitletoken.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeDeleter {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

XcbReply<xcb_get_property_reply_t> property(xcb_connection_t* connection, xcb_window_t window,
                                            xcb_atom_t name, xcb_atom_t type) {
    if (name == XCB_ATOM_NONE) {
        return nullptr;
    }
    // Up to 4 MB of 32-bit units: room for any title or window list.
    return XcbReply<xcb_get_property_reply_t>(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, 1u << 20), nullptr));
}

std::vector<xcb_window_t> windowList(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 32) {
        return {};
    }
    const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(reply));
    return {windows, windows + xcb_get_property_value_length(reply) / 4};
}

// Bottom to top, as both the stacking list and the root's children come.
std::vector<xcb_window_t> stackedWindows(xcb_connection_t* connection, xcb_window_t root) {
    std::vector<xcb_window_t> windows =
        windowList(property(connection, root, internAtom(connection, "_NET_CLIENT_LIST_STACKING"),
                            XCB_ATOM_WINDOW)
                       .get());
    if (!windows.empty()) {
        return windows;
    }
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return {children, children + xcb_query_tree_children_length(tree.get())};
}

bool isVisible(xcb_connection_t* connection, xcb_window_t window) {
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool hasOwner(xcb_connection_t* connection, xcb_window_t window) {
    const auto owner = property(connection, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
    return !windowList(owner.get()).empty();
}

QString title(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t netWmName,
              xcb_atom_t utf8String) {
    const auto wide = property(connection, window, netWmName, utf8String);
    if (wide && wide->format == 8 && xcb_get_property_value_length(wide.get()) > 0) {
        return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(wide.get())),
                                 xcb_get_property_value_length(wide.get()));
    }
    const auto plain = property(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
    if (plain && plain->format == 8) {
        return QString::fromLatin1(static_cast<const char*>(xcb_get_property_value(plain.get())),
                                   xcb_get_property_value_length(plain.get()));
    }
    return {};
}

xcb_connection_t* x11Connection() {
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (application == nullptr) {
        return nullptr;
    }
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace

QString TitleToken(QStringView title) {
    const QStringView trimmedTitle = title.trimmed();
    const qsizetype open = trimmedTitle.indexOf(u"[>");
    if (open < 0) {
        return {};
    }
    const qsizetype close = trimmedTitle.indexOf(u"<]", open + 2);
    if (close < 0) {
        return {};
    }
    return trimmedTitle.mid(open + 2, close - open - 2).trimmed().toString();
}

QStringList TopLevelWindowTitles() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return {};
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return {};
    }
    const xcb_atom_t netWmName = internAtom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8String = internAtom(connection, "UTF8_STRING");
    const std::vector<xcb_window_t> windows = stackedWindows(connection, screen->root);
    QStringList titles;
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (isVisible(connection, *window) && !hasOwner(connection, *window)) {
            titles.append(title(connection, *window, netWmName, utf8String));
        }
    }
    return titles;
}

QString FindWindowTitleToken() {
    for (const QString& windowTitle : TopLevelWindowTitles()) {
        const QString token = TitleToken(windowTitle);
        if (!token.isEmpty()) {
            return token;
        }
    }
    return {};
}

QString GetWindowTitleToken() {
    return FindWindowTitleToken();
}
