#pragma once

// The parts of a posix_spawn call that need building or freeing: its argv
// or envp, and its attribute and file-action objects.

#include <QByteArray>
#include <QFile>
#include <QStringList>

#include <spawn.h>

#include <vector>

// The texts in the file-name encoding and the null-ended list of pointers to
// them, valid while the object lives.
class CSpawnStrings {
public:
    explicit CSpawnStrings(const QStringList& texts) {
        m_bytes.reserve(texts.size());
        for (const QString& text : texts) {
            m_bytes.push_back(QFile::encodeName(text));
        }
        for (QByteArray& bytes : m_bytes) {
            m_pointers.push_back(bytes.data());
        }
        m_pointers.push_back(nullptr);
    }
    char* const* get() const { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_bytes;
    std::vector<char*> m_pointers;
};

// A spawn object initialised on construction and destroyed with its owner.
template <typename Object, int (*Init)(Object*), int (*Destroy)(Object*)>
class CSpawnObject {
public:
    CSpawnObject() { Init(&m_object); }
    ~CSpawnObject() { Destroy(&m_object); }
    CSpawnObject(const CSpawnObject&) = delete;
    CSpawnObject& operator=(const CSpawnObject&) = delete;
    Object* get() { return &m_object; }

private:
    Object m_object;
};

using CSpawnAttributes =
    CSpawnObject<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy>;
using CSpawnFileActions = CSpawnObject<posix_spawn_file_actions_t, posix_spawn_file_actions_init,
                                       posix_spawn_file_actions_destroy>;
