#pragma once

// The command ids of the servers' context-menu entries: 40000 onwards, each
// slot remembering the server that owns it, so a logout frees that server's.

#include <QtGlobal>

#include <vector>

class CMenuCommandIds {
public:
    static constexpr int kFirstId = 40000;
    static constexpr int kSlots = 10001;

    CMenuCommandIds() : m_owners(kSlots, 0) {}

    // A free id for the server, or 0 when the server is none (0) or every
    // slot is taken.
    int Alloc(quint64 serverId);
    // Frees every id of the server.
    void Free(quint64 serverId);
    // The server owning an id, 0 when none.
    quint64 Owner(int commandId) const;

private:
    std::vector<quint64> m_owners;
};
