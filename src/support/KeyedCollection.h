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
#include <vector>

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
// FNV-1a over the UTF-16 units of the folded text (plain ASCII folded on the way, without a copy), its
// bits mixed at the end so that the low ones, which pick a slot, depend on every character.
inline size_t foldedHash(const QString& text) {
    const auto hash = [](const char16_t* units, qsizetype size, bool fold) {
        quint64 h = 14695981039346656037ULL;
        for (qsizetype i = 0; i < size; ++i) {
            h = (h ^ (fold ? foldAscii(units[i]) : units[i])) * 1099511628211ULL;
        }
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdULL;
        h ^= h >> 33;
        return size_t(h);
    };
    if (isAscii(text)) {
        return hash(units(text), text.size(), true);
    }
    const QString folded = FoldKey(text);
    return hash(units(folded), folded.size(), false);
}
// Whether two texts have the same FoldKey, without making it for plain ASCII.
inline bool sameFolded(const QString& a, const QString& b) {
    const char16_t* x = units(a);
    const char16_t* y = units(b);
    const qsizetype size = a.size();
    if (size == b.size()) {
        qsizetype i = 0;
        // Up to the first character beyond ASCII, where folding needs the Unicode tables.
        for (; i < size && (x[i] | y[i]) < 0x80; ++i) {
            if (foldAscii(x[i]) != foldAscii(y[i])) {
                return false;
            }
        }
        if (i == size) {
            return true;
        }
    } else if (isAscii(a) && isAscii(b)) {
        return false;
    }
    return FoldKey(a) == FoldKey(b);
}
}  // namespace keyed_detail

// Positions in a list of texts kept by the caller, found by their FoldKey (or by another comparison the
// caller gives, with a hash to match): open addressing, each slot the low half of a text's hash and its
// position, so that the index copies no text and reads none again when it grows (a power of two long, at
// most half full). A record of many thousand fields needs no second string and no node per field for it.
class TextIndex {
public:
    // The position of a text that is the same as key, or -1; textAt(position) gives the texts.
    template <typename TextAt, typename Same = decltype(&keyed_detail::sameFolded)>
    int find(const QString& key, size_t hash, const TextAt& textAt,
             Same same = &keyed_detail::sameFolded) const {
        if (mSlots.empty()) {
            return -1;
        }
        const size_t mask = mSlots.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            const Slot& slot = mSlots[at];
            if (slot.position < 0) {
                return -1;
            }
            if (slot.hash == quint32(hash) && same(textAt(slot.position), key)) {
                return slot.position;
            }
        }
    }

    void insert(size_t hash, int position) {
        if (2 * (mCount + 1) > mSlots.size()) {
            grow(std::max<std::size_t>(16, 2 * mSlots.size()));
        }
        place(Slot{quint32(hash), position});
        ++mCount;
    }

    // Room for count texts without growing on the way, where the caller knows how many may come.
    void reserve(std::size_t count) {
        std::size_t size = std::max<std::size_t>(16, mSlots.size());
        while (size < 2 * count) {
            size *= 2;
        }
        if (size > mSlots.size()) {
            grow(size);
        }
    }

    void clear() {
        mSlots.clear();
        mCount = 0;
    }

private:
    struct Slot {
        quint32 hash = 0;
        int position = -1;  // -1: empty
    };

    void grow(std::size_t size) {
        std::vector<Slot> old(size);
        old.swap(mSlots);
        for (const Slot& slot : old) {
            if (slot.position >= 0) {
                place(slot);
            }
        }
    }

    void place(const Slot& slot) {
        const size_t mask = mSlots.size() - 1;
        size_t at = slot.hash & mask;
        while (mSlots[at].position >= 0) {
            at = (at + 1) & mask;
        }
        mSlots[at] = slot;
    }

    std::vector<Slot> mSlots;
    std::size_t mCount = 0;
};

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
            const size_t hash = keyed_detail::foldedHash(key);
            if (find(key, hash) >= 0) {
                throw host::Error(
                    errDuplicateKey,
                    QStringLiteral("This key is already associated with an element of this collection"),
                    kProjectName);
            }
            mIndex.insert(hash, count());
        }
        mEntries.push_back(Entry{key, std::move(item)});
    }

    // Adds unless the key is present; true when added.
    bool addUnique(T item, const QString& key) {
        if (key.isNull()) {
            add(std::move(item), key);
            return true;
        }
        const size_t hash = keyed_detail::foldedHash(key);
        if (find(key, hash) >= 0) {
            return false;
        }
        mIndex.insert(hash, count());
        mEntries.push_back(Entry{key, std::move(item)});
        return true;
    }

    bool contains(const QString& key) const { return find(key, keyed_detail::foldedHash(key)) >= 0; }

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
    int find(const QString& key, size_t hash) const {
        return mIndex.find(
            key, hash, [this](int i) -> const QString& { return mEntries[static_cast<std::size_t>(i)].key; });
    }

    int indexOf(const QString& key) const {
        const int found = find(key, keyed_detail::foldedHash(key));
        if (found < 0) {
            RaiseInvalidArgument();
        }
        return found;
    }

    void reindex() {
        mIndex.clear();
        for (int i = 0; i < count(); ++i) {
            const QString& key = mEntries[static_cast<std::size_t>(i)].key;
            if (!key.isNull()) {
                mIndex.insert(keyed_detail::foldedHash(key), i);
            }
        }
    }

    // A deque grows without moving its entries, which matters for records of many thousand fields.
    std::deque<Entry> mEntries;
    TextIndex mIndex;
};
