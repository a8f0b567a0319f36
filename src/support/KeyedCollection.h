// An ordered collection whose items may carry a key, looked up without regard to case: the keyed
// collection the add-in uses for data sources, fields, tree levels and open editors. Adding a key that is
// already present fails with error 457, which callers use to drop duplicates.
#pragma once

#include "support/mErrorHandle.h"

#include <QHash>
#include <QString>

#include <deque>
#include <utility>

inline constexpr int errDuplicateKey = 457;

// The key as the collection compares it: case folded. Plain ASCII, the common case of names, is folded
// without the Unicode tables.
inline QString FoldKey(const QString& key) {
    QString folded(key.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    const char16_t* in = reinterpret_cast<const char16_t*>(key.constData());
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char16_t c = in[i];
        if (c >= 0x80) {
            return key.toCaseFolded();
        }
        out[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    }
    return folded;
}

template <typename T>
class KeyedCollection {
public:
    struct Entry {
        QString key;
        T item;
    };

    int count() const { return static_cast<int>(mEntries.size()); }
    bool isEmpty() const { return mEntries.empty(); }

    // Appends the item; a key already present raises error 457 and leaves the collection as it was.
    void add(T item, const QString& key = QString()) {
        if (!key.isNull()) {
            const QString folded = FoldKey(key);
            if (mIndex.contains(folded)) {
                throw host::Error(
                    errDuplicateKey,
                    QStringLiteral("This key is already associated with an element of this collection"),
                    kProjectName);
            }
            mIndex.insert(folded, count());
        }
        mEntries.push_back(Entry{key, std::move(item)});
    }

    // Adds unless the key is present; true when added. The key is folded once.
    bool addUnique(T item, const QString& key) {
        if (key.isNull()) {
            add(std::move(item), key);
            return true;
        }
        const QString folded = FoldKey(key);
        if (mIndex.contains(folded)) {
            return false;
        }
        mIndex.insert(folded, count());
        mEntries.push_back(Entry{key, std::move(item)});
        return true;
    }

    bool contains(const QString& key) const { return mIndex.contains(FoldKey(key)); }

    // By key; error 5 when the key is missing.
    T& item(const QString& key) { return mEntries[indexOf(key)].item; }
    const T& item(const QString& key) const { return mEntries[indexOf(key)].item; }
    // By 0-based position.
    T& at(int index) { return mEntries.at(static_cast<std::size_t>(index)).item; }
    const T& at(int index) const { return mEntries.at(static_cast<std::size_t>(index)).item; }
    const QString& keyAt(int index) const { return mEntries.at(static_cast<std::size_t>(index)).key; }

    void remove(const QString& key) { removeAt(indexOf(key)); }
    void removeAt(int index) {
        mEntries.erase(mEntries.begin() + index);
        reindex();
    }
    void clear() {
        mEntries.clear();
        mIndex.clear();
    }

    auto begin() { return mEntries.begin(); }
    auto end() { return mEntries.end(); }
    auto begin() const { return mEntries.begin(); }
    auto end() const { return mEntries.end(); }

private:
    int indexOf(const QString& key) const {
        const auto found = mIndex.constFind(FoldKey(key));
        if (found == mIndex.cend()) {
            RaiseInvalidArgument();
        }
        return found.value();
    }

    void reindex() {
        mIndex.clear();
        for (int i = 0; i < count(); ++i) {
            if (!mEntries[static_cast<std::size_t>(i)].key.isNull()) {
                mIndex.insert(FoldKey(mEntries[static_cast<std::size_t>(i)].key), i);
            }
        }
    }

    // A deque grows without moving its entries, which matters for records of many thousand fields.
    std::deque<Entry> mEntries;
    QHash<QString, int> mIndex;
};
