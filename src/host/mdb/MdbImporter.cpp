#include "host/mdb/MdbImporter.h"

#include "host/DatabaseFile.h"
#include "host/mdb/MdbFile.h"
#include "host/mdb/QueryReconstructor.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace mdb {

namespace {

constexpr int kTypeTable = 1;
constexpr int kTypeQuery = 5;
constexpr int kTypeForm = -32768;
constexpr int kTypeReport = -32764;
constexpr int kKindCrosstab = 6;
constexpr int kKindUnion = 9;

int column(const std::vector<ColumnInfo>& columns, const char* name) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return int(i);
        }
    }
    throw MdbFileError(QStringLiteral("the catalogue has no column %1").arg(QLatin1String(name)));
}

QVariant textOrNull(const QVariant& value) {
    return value.isNull() ? QVariant() : QVariant(value.toString());
}

// The MSysQueries rows of every query, by the query's id, in the order the real engine wrote them.
std::map<qint64, std::vector<jet::CatalogueRow>> catalogueRows(MdbFile& file) {
    const std::vector<ColumnInfo> columns = file.columns(QStringLiteral("MSysQueries"));
    const int objectId = column(columns, "ObjectId");
    const int attribute = column(columns, "Attribute");
    const int flag = column(columns, "Flag");
    const int name1 = column(columns, "Name1");
    const int name2 = column(columns, "Name2");
    const int expression = column(columns, "Expression");
    std::map<qint64, std::vector<jet::CatalogueRow>> rows;
    file.readRows(
        QStringLiteral("MSysQueries"),
        [&](const QVariantList& row) {
            rows[row[objectId].toLongLong()].push_back(
                {row[attribute].toInt(), row[flag].isNull() ? QVariant() : QVariant(row[flag].toInt()),
                 textOrNull(row[name1]), textOrNull(row[name2]), textOrNull(row[expression])});
        },
        {QStringLiteral("ObjectId"), QStringLiteral("Attribute"), QStringLiteral("Flag"),
         QStringLiteral("Name1"), QStringLiteral("Name2"), QStringLiteral("Expression")});
    return rows;
}

struct HiddenOwner {
    int type = 0;     // kTypeForm or kTypeReport
    QString owner;    // the form or report
    QString control;  // empty for the record source
};

// Whose source a hidden query holds, from its name: ~sq_f + form, ~sq_r + report, ~sq_c + form + ~sq_c +
// control, ~sq_d + report + ~sq_d + control.
std::optional<HiddenOwner> hiddenOwner(const QString& name) {
    if (!name.startsWith(QLatin1String("~sq_")) || name.size() < 6) {
        return std::nullopt;
    }
    const QChar marker = name.at(4);
    const QString rest = name.mid(5);
    if (marker == QLatin1Char('f') || marker == QLatin1Char('r')) {
        return HiddenOwner{marker == QLatin1Char('f') ? kTypeForm : kTypeReport, rest, QString()};
    }
    if (marker == QLatin1Char('c') || marker == QLatin1Char('d')) {
        const QString separator = QStringLiteral("~sq_") + marker;
        const qsizetype at = rest.indexOf(separator);
        if (at > 0) {
            return HiddenOwner{marker == QLatin1Char('c') ? kTypeForm : kTypeReport, rest.left(at),
                               rest.mid(at + separator.size())};
        }
    }
    return std::nullopt;
}

int kindOf(const std::vector<jet::CatalogueRow>& rows) {
    for (const jet::CatalogueRow& row : rows) {
        if (row.attribute == 1) {
            return row.flag.toInt();
        }
    }
    return 0;
}

// A row as compared: Null and 0 are one Flag where the analyser writes none.
jet::CatalogueRow comparable(jet::CatalogueRow row, int kind) {
    if (kind != kKindCrosstab && (row.attribute == 6 || row.attribute == 9) && row.flag.isValid() &&
        row.flag.toInt() == 0) {
        row.flag = QVariant();
    }
    if (kind == kKindUnion && row.attribute == 5 && row.name1.isNull()) {
        row.name2 = QVariant();
    }
    if (row.expression.isValid()) {
        row.expression = row.expression.toString().trimmed();
    }
    return row;
}

bool sameRow(const jet::CatalogueRow& a, const jet::CatalogueRow& b) {
    const auto same = [](const QVariant& x, const QVariant& y) {
        if (x.isNull() || y.isNull()) {
            return x.isNull() == y.isNull();
        }
        return x.toString() == y.toString();
    };
    return a.attribute == b.attribute && same(a.flag, b.flag) && same(a.name1, b.name1) &&
           same(a.name2, b.name2) && same(a.expression, b.expression);
}

}  // namespace

QStringList differingAttributes(const std::vector<jet::CatalogueRow>& real,
                                const std::vector<jet::CatalogueRow>& analysed) {
    const int kind = kindOf(real);
    const bool joined =
        std::any_of(real.begin(), real.end(), [](const auto& row) { return row.attribute == 7; });
    std::map<int, std::pair<std::vector<jet::CatalogueRow>, std::vector<jet::CatalogueRow>>> byAttribute;
    for (const auto& row : real) {
        byAttribute[row.attribute].first.push_back(comparable(row, kind));
    }
    for (const auto& row : analysed) {
        byAttribute[row.attribute].second.push_back(comparable(row, kind));
    }
    QStringList differences;
    for (auto& [attribute, rows] : byAttribute) {
        auto& [left, right] = rows;
        if (attribute == 5 && joined) {
            const auto key = [](const jet::CatalogueRow& row) {
                return row.name1.toString() + QChar(0) + row.name2.toString() + QChar(0) +
                       row.expression.toString();
            };
            const auto byKey = [&](const auto& a, const auto& b) { return key(a) < key(b); };
            std::sort(left.begin(), left.end(), byKey);
            std::sort(right.begin(), right.end(), byKey);
        }
        const bool same =
            left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(), sameRow);
        if (!same) {
            differences << QString::number(attribute);
        }
    }
    return differences;
}

ImportSummary importInto(MdbFile& file, qdb::QdbDatabase& database) {
    ImportSummary summary;
    summary.format = file.formatName();
    const auto queryRows = catalogueRows(file);
    database.transaction([&] {
        for (const ObjectInfo& table : file.userTables()) {
            qdb::TableSpec spec{table.name, table.description, {}, {}};
            for (const ColumnInfo& field : file.columns(table.name)) {
                spec.fields.push_back({field.name, field.type});
            }
            summary.rows +=
                file.readRows(table.name, [&](const QVariantList& row) { spec.rows.push_back(row); });
            database.createTable(spec);
            ++summary.tables;
        }

        std::map<std::pair<int, QString>, qdb::FormSpec> owners;
        std::vector<std::pair<int, QString>> ownerOrder;
        for (const ObjectInfo& object : file.objects()) {
            if (object.type == kTypeForm || object.type == kTypeReport) {
                const std::pair<int, QString> key{object.type, object.name};
                owners[key] = qdb::FormSpec{object.name, QString(), object.description, {}};
                ownerOrder.push_back(key);
            }
        }
        for (const ObjectInfo& object : file.objects()) {
            if (object.type != kTypeQuery) {
                continue;
            }
            const auto found = queryRows.find(object.id);
            const std::vector<jet::CatalogueRow> rows =
                found == queryRows.end() ? std::vector<jet::CatalogueRow>{} : found->second;
            QString sql;
            QueryFidelity fidelity{object.name, {}};
            try {
                sql = reconstructSql(rows);
                try {
                    fidelity.differences = differingAttributes(rows, jet::analyse(sql).rows);
                } catch (const host::Error&) {
                    // The analyser refuses the rebuilt text: nothing it writes agrees.
                    fidelity.differences = differingAttributes(rows, {});
                }
            } catch (const std::invalid_argument&) {
                fidelity.differences << QStringLiteral("1");
            }
            database.insertCatalogueQuery({object.name, object.flags, sql, object.description, rows});
            ++summary.queries;
            summary.fidelity.push_back(std::move(fidelity));
            if (const auto owner = hiddenOwner(object.name)) {
                const auto form = owners.find({owner->type, owner->owner});
                if (form != owners.end()) {
                    if (owner->control.isEmpty()) {
                        form->second.recordSource = sql;
                    } else {
                        form->second.controls.push_back({owner->control, sql});
                    }
                }
            }
        }
        for (const auto& key : ownerOrder) {
            const qdb::FormSpec& form = owners[key];
            database.saveImportedForm(form, key.first == kTypeReport);
            ++(key.first == kTypeReport ? summary.reports : summary.forms);
        }
    });
    return summary;
}

ImportSummary importFile(const QString& source, const QString& target, bool replace,
                         const std::function<std::shared_ptr<void>(const QStringList&)>& watch) {
    qdb::checkDatabaseTarget(target, replace);
    MdbFile file(source);
    ImportSummary summary;
    qdb::buildDatabaseFile(
        target, replace, [&](qdb::QdbDatabase& database) { summary = importInto(file, database); }, watch);
    return summary;
}

QString importedCopy(const QString& source, const QString& folder) {
    const QFileInfo info(source);
    if (!info.isFile()) {
        throw MdbFileError(QStringLiteral("cannot read '%1': no such file").arg(source));
    }
    const auto hash = [](const QString& text) {
        return QString::fromLatin1(
            QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
    };
    // One copy per source file; its name changes with the source's size and modification time, so a
    // changed source is imported again and an unchanged one never is.
    const QString prefix =
        info.completeBaseName() + QLatin1Char('-') + hash(info.absoluteFilePath()) + QLatin1Char('-');
    const QString stamp =
        hash(QStringLiteral("%1/%2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch()));
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        throw qdb::DatabaseFileError(QStringLiteral("cannot create folder '%1'").arg(folder));
    }
    const QString copy = dir.filePath(prefix + stamp + QStringLiteral(".qdb"));
    if (QFileInfo::exists(copy)) {
        return copy;
    }
    importFile(source, copy, false);
    for (const QString& stale : dir.entryList({prefix + QStringLiteral("*.qdb")}, QDir::Files)) {
        if (dir.filePath(stale) != copy) {
            dir.remove(stale);
        }
    }
    return copy;
}

}  // namespace mdb
