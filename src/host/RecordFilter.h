// The criteria of a recordset's Filter, parsed once against the snapshot's columns and evaluated on rows
// in memory: comparisons, Is [Not] Null, [Not] Like, [Not] In, [Not] Between, And, Or, Not, parentheses.
// Text compares ignore case as everywhere in the host.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

namespace qdb {

struct FilterNode;

// The index key under which a value is found by equality: folded text, numbers in one canonical form.
// Null has no key.
std::optional<QString> equalityKey(const QVariant& value);

class RecordFilter {
public:
    // Throws host::Error 3075 for malformed criteria, 3070 for a field the snapshot lacks.
    RecordFilter(const QString& criteria, const QStringList& columns);
    ~RecordFilter();
    RecordFilter(RecordFilter&&) noexcept;
    RecordFilter& operator=(RecordFilter&&) noexcept;

    // True when the row (one value per column) meets the criteria; Null counts as not met.
    bool matches(const QVariant* row) const;

    // An equality between one column and a constant that every matching row must meet (the criteria
    // itself, or one side of a top-level And): rows can then be looked up in an index on that column.
    struct Equality {
        int column;
        QString key;
    };
    std::optional<Equality> indexableEquality() const;

private:
    std::unique_ptr<FilterNode> mRoot;
};

}  // namespace qdb
