#pragma once

// The program's private messages: the only way worker threads and other
// instances reach the windows. They keep their historic numbers (WM_USER
// based) so that log lines and traces read the same on every platform.

#include <QString>

namespace uimessage_detail {
inline constexpr int kUserBase = 0x400;
}

// What each message carries: wParam and lParam as numbers, or as addresses
// of records on the sender's stack (sends only: the sender waits).
enum class UiMessage : int {
    RunScript = uimessage_detail::kUserBase + 0x102,      // wParam: const QString* script path
    GridDataReady = uimessage_detail::kUserBase + 0x103,  // posted to the primary grid
    TreeDataReady = uimessage_detail::kUserBase + 0x104,  // the tree pipe holds a reply
    RenderTabs = uimessage_detail::kUserBase + 0x105,     // wParam: panel template id
    RenderMyView = uimessage_detail::kUserBase + 0x106,   // wParam, lParam: render arguments
    ShowProgress = uimessage_detail::kUserBase + 0x107,
    HideProgress = uimessage_detail::kUserBase + 0x108,
    NavigatePost = uimessage_detail::kUserBase + 0x109,  // wParam: CNavigateArgs*
    Navigate2 = uimessage_detail::kUserBase + 0x10A,     // wParam: CNavigateArgs*
    NavigatePidl = uimessage_detail::kUserBase + 0x10B,  // no item-id lists here: unused
    GetFormField = uimessage_detail::kUserBase + 0x10C,  // wParam: CStringTriple*, lParam: QString*
    SetFormField = uimessage_detail::kUserBase + 0x10D,  // wParam: CStringTriple*, lParam: QString*
    ResetGrid = uimessage_detail::kUserBase + 0x10E,
    StatusText = uimessage_detail::kUserBase + 0x10F,  // wParam: const QString*
    Busy = uimessage_detail::kUserBase + 0x110,        // wParam: kBusyBegins or kBusyEnds
};

// wParam values of UiMessage::Busy.
inline constexpr int kBusyBegins = 5;
inline constexpr int kBusyEnds = 0;

// "WM_USER+0x10F" style name for log lines.
QString UiMessageName(UiMessage message);
