// An ordered collection whose items may carry a key, looked up without regard to case: the keyed
// collection the add-in uses for data sources, fields, tree levels and open editors. Adding a key that is
// already present fails with error 457, which callers use to drop duplicates.
#pragma once

#include "support/mErrorHandle.h"

#include <QHash>
#include <QString>

#include <algorithm>
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

namespace keyed_detail {
constexpr char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}
inline const char16_t* units(const QString& text) {
    return reinterpret_cast<const char16_t*>(text.constData());
}
inline bool isAscii(const QString& text) {
    return std::all_of(units(text), units(text) + text.size(), [](char16_t c) { return c < 0x80; });
}
// FNV-1a over the UTF-16 units of the folded text; plain ASCII is folded on the way, without a copy.
inline size_t foldedHash(const QString& text) {
    const auto hash = [](const char16_t* units, qsizetype size, bool fold) {
        size_t h = size_t(14695981039346656037ULL);
        for (qsizetype i = 0; i < size; ++i) {
            h = (h ^ (fold ? foldAscii(units[i]) : units[i])) * size_t(1099511628211ULL);
        }
        return h;
    };
    if (isAscii(text)) {
        return hash(units(text), text.size(), true);
    }
    const QString folded = FoldKey(text);
    return hash(units(folded), folded.size(), false);
}
}  // namespace keyed_detail

// A text that hashes and compares as its FoldKey does, without the folded copy, and that carries its
// hash: the index of a record of many thousand fields neither allocates a second string per field nor
// reads every key again each time it grows.
class CaseBlindKey {
public:
    explicit CaseBlindKey(const QString& text) : mText(text), mHash(keyed_detail::foldedHash(text)) {}
    const QString& text() const { return mText; }
    size_t hash() const { return mHash; }

private:
    QString mText;
    size_t mHash;
};

inline bool operator==(const CaseBlindKey& a, const CaseBlindKey& b) {
    if (a.hash() != b.hash()) {
        return false;
    }
    const char16_t* x = keyed_detail::units(a.text());
    const char16_t* y = keyed_detail::units(b.text());
    const qsizetype size = a.text().size();
    if (size == b.text().size()) {
        qsizetype i = 0;
        // Up to the first character beyond ASCII, where folding needs the Unicode tables.
        for (; i < size && (x[i] | y[i]) < 0x80; ++i) {
            if (keyed_detail::foldAscii(x[i]) != keyed_detail::foldAscii(y[i])) {
                return false;
            }
        }
        if (i == size) {
            return true;
        }
    } else if (keyed_detail::isAscii(a.text()) && keyed_detail::isAscii(b.text())) {
        return false;
    }
    return FoldKey(a.text()) == FoldKey(b.text());
}

inline size_t qHash(const CaseBlindKey& key, size_t seed = 0) {
    return qHash(key.hash(), seed);
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
            const CaseBlindKey folded(key);
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

    // Adds unless the key is present; true when added.
    bool addUnique(T item, const QString& key) {
        if (key.isNull()) {
            add(std::move(item), key);
            return true;
        }
        const CaseBlindKey folded(key);
        if (mIndex.contains(folded)) {
            return false;
        }
        mIndex.insert(folded, count());
        mEntries.push_back(Entry{key, std::move(item)});
        return true;
    }

    bool contains(const QString& key) const { return mIndex.contains(CaseBlindKey(key)); }
    // Room for that many keyed items without growing the index on the way.
    void reserve(int size) { mIndex.reserve(size); }

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
        const auto found = mIndex.constFind(CaseBlindKey(key));
        if (found == mIndex.cend()) {
            RaiseInvalidArgument();
        }
        return found.value();
    }

    void reindex() {
        mIndex.clear();
        for (int i = 0; i < count(); ++i) {
            if (!mEntries[static_cast<std::size_t>(i)].key.isNull()) {
                mIndex.insert(CaseBlindKey(mEntries[static_cast<std::size_t>(i)].key), i);
            }
        }
    }

    // A deque grows without moving its entries, which matters for records of many thousand fields.
    std::deque<Entry> mEntries;
    QHash<CaseBlindKey, int> mIndex;
};
