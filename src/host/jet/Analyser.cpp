#include "host/jet/Analyser.h"

#include "host/jet/Parser.h"

namespace jet {

namespace {

int typeCode(StatementKind kind) {
    switch (kind) {
        case StatementKind::Select:
            return 0;
        case StatementKind::Crosstab:
            return 16;
        case StatementKind::Delete:
            return 32;
        case StatementKind::Update:
            return 48;
        case StatementKind::Append:
            return 64;
        case StatementKind::MakeTable:
            return 80;
        case StatementKind::DataDefinition:
            return 96;
        case StatementKind::Union:
            return 128;
    }
    return 0;
}

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(text);
}

void append(std::vector<CatalogueRow>& rows, std::vector<CatalogueRow>&& more) {
    rows.insert(rows.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

}  // namespace

QueryAnalysis analyse(const QString& sql) {
    Query query = Parser(sql).parse();
    QueryAnalysis analysis;
    analysis.type = typeCode(query.kind);
    std::vector<CatalogueRow>& rows = analysis.rows;
    rows.push_back({0, {}, {}, {}, {}});
    rows.push_back(
        {1, static_cast<int>(query.kind), textOrNull(query.target), textOrNull(query.targetDatabase), {}});
    if (query.kind != StatementKind::DataDefinition) {
        append(rows, std::move(query.parameters));
        rows.push_back({3, query.flags, textOrNull(query.top), {}, {}});
        append(rows, std::move(query.sources));
        append(rows, std::move(query.columns));
        append(rows, std::move(query.joins));
        if (!query.where.isEmpty()) {
            rows.push_back({8, {}, {}, {}, query.where});
        }
        append(rows, std::move(query.groupBy));
        if (!query.having.isEmpty()) {
            rows.push_back({10, {}, {}, {}, query.having});
        }
        append(rows, std::move(query.orderBy));
    }
    rows.push_back({255, {}, {}, {}, {}});
    return analysis;
}

}  // namespace jet
