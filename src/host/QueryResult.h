// What running a query gives, and how the caller supplies parameter values.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace qdb {

struct QueryResult {
    bool action = false;  // an action or data-definition query: no rows, only the count it changed
    qint64 affected = 0;  // rows appended, updated, deleted or written to the new table
    QStringList columns;
    // Per column, the field type of the table field it shows ("YesNo", "DateTime", ...), empty for a
    // computed column.
    QStringList fieldTypes;
    std::vector<QVariant> cells;  // row by row; Date/Time as text "yyyy-MM-dd HH:mm:ss", Yes/No as -1 or 0

    int rowCount() const { return columns.isEmpty() ? 0 : int(cells.size() / size_t(columns.size())); }
    const QVariant& cell(int row, int column) const {
        return cells[size_t(row) * size_t(columns.size()) + size_t(column)];
    }
};

// A parameter the query asks for: its name as the host shows it in its prompt, and the data access type
// code it was declared with (0 when undeclared).
struct ParameterRequest {
    QString name;
    int type = 0;
};

// Called once for each parameter, in the order the host asks for them. The value may be text (converted
// to the declared type) or a number; nothing cancels the run, which then fails with error 2001.
using ParameterValues = std::function<std::optional<QVariant>(const ParameterRequest& parameter)>;

struct RunOptions {
    bool replaceTable = false;  // a make-table query may replace an existing table
};

}  // namespace qdb
