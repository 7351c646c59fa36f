#pragma once

// The framework's ordered list of named text entries, and its "name=value"
// file. Names are unique when compared with case, so "Yes" and "yes" are two
// entries; a lookup that ignores case finds the one added first. Lookups by
// name go through an index ordered without regard to case (A to Z compare as
// a to z, every other character by its code), lookups by position through the
// list order.

#include <QString>

#include <map>
#include <memory>
#include <span>
#include <utility>
#include <vector>

struct KPROP {
    QString name;  // never empty
    QString value;
    QString extra1;
    QString extra2;
    int index = 0;  // position in the list order, from 0
};

class KPROPS {
public:
    // The two sizing numbers are kept for the callers that pass them; no
    // operation depends on them.
    explicit KPROPS(short initialSize = 100, short growBy = 10);
    ~KPROPS();
    KPROPS(const KPROPS&) = delete;
    KPROPS& operator=(const KPROPS&) = delete;
    KPROPS(KPROPS&&) noexcept;
    KPROPS& operator=(KPROPS&&) noexcept;

    // Adds an entry at the end, or replaces value and extras of the entry of
    // exactly that name (its place stays). 0 only for an empty name.
    int Add(const QString& name, const QString& value = {}, const QString& extra1 = {},
            const QString& extra2 = {});
    // Adds each pair in order with empty extras; 0 at the first refusal.
    int AddPairs(std::span<const std::pair<QString, QString>> pairs);

    // The entry's index, or -1.
    int FindIndex(const QString& name, bool ignoreCase = false) const;
    // The entry's value, or an empty text when there is none.
    QString GetValue(const QString& name, bool ignoreCase = false) const;
    // Lower-cases the name, then looks it up with case.
    QString GetValueNoCase(const QString& name) const;

    // A field of entry i; "OVERFLOW" when i is negative or not below Count().
    QString GetNameAt(int index) const;
    QString GetValueAt(int index) const;
    QString GetExtra1At(int index) const;
    QString GetExtra2At(int index) const;
    // Entry i, or null when out of range.
    const KPROP* At(int index) const;
    int Count() const { return static_cast<int>(m_order.size()); }

    // Sets both extras of the entry of exactly that name; 0 when there is none.
    int SetExtras(const QString& name, const QString& extra1, const QString& extra2);
    // Deletes every entry after entry i; 0 (nothing deleted) when i is out of range.
    int TruncateAfter(int index);
    // TruncateAfter at the entry of exactly that name; 1 even when it is absent.
    int TruncateAfterName(const QString& name);
    void Clear();
    // Adds every entry of the other list in its order; 0 for a missing list.
    int Merge(const KPROPS* other);
    // Puts the list into the index's order (case-insensitive, case variants in
    // the order they were added) and renumbers the entries.
    void Sort();

    // Characters stripped from every name added or looked up, and from every
    // value added (at most 50 characters each).
    void SetNameFilter(const QString& characters);
    void SetValueFilter(const QString& characters);

    // Writes the list as debug lines when the debug level is at least the minimum.
    void DumpToLog(int minimumLevel, const QString& title, const QString& prefix) const;
    // A confidential list (credentials) shows only its names in debug lines:
    // values and extras are masked.
    void SetConfidential(bool confidential) { m_confidential = confidential; }

    // Adds the entries of a "name=value" file: UTF-8 in text mode (a carriage
    // return ending a line is dropped), UTF-16LE in binary mode. Lines that are
    // empty or begin with "#" are skipped. A line without "=", or with a name
    // that could not be stored again, is logged and skipped, the later lines
    // still load, and the result is then 0; so it is too when bytes that are
    // not UTF-8 were replaced. Further "=" signs belong to the value; nothing
    // is trimmed.
    int FileLoad(const QString& path, bool binary);
    // Writes the list atomically as a "name=value" file behind a header line.
    // A line break inside a value is written as "%0d"/"%0a" (DecodeNewlines
    // turns it back). A name that cannot be read back (holding "=" or a line
    // break, or beginning with "#") is left out with a warning, and the result
    // is then 0; the extras are never stored.
    int FileStore(const QString& path, bool binary) const;
    // Whether FileStore can write the name so that FileLoad reads it back.
    static bool IsStorableName(const QString& name);

private:
    // The text as debug lines may show it.
    QString traced(const QString& text) const;

    struct NoCaseLess {
        bool operator()(const QString& left, const QString& right) const;
    };
    using NameIndex = std::multimap<QString, KPROP*, NoCaseLess>;

    KPROP* find(const QString& name, bool ignoreCase) const;
    QString filteredName(const QString& name) const;
    void eraseFromIndex(const KPROP* entry);
    const QString& fieldAt(int index, QString KPROP::*field) const;

    short m_initialSize;
    short m_growBy;
    NameIndex m_index;
    std::vector<std::unique_ptr<KPROP>> m_order;
    QString m_nameFilter;
    QString m_valueFilter;
    bool m_confidential = false;
};
