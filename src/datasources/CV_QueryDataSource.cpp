#include "datasources/CV_QueryDataSource.h"

#include <QHash>
#include <QStringList>

void CV_QueryDataSource::AnalyzeFields() {
    // Names are counted once up front (exact comparison), so that a query over many wide sources does not
    // compare every field with every field.
    QHash<QString, int> counts;
    counts.reserve(Fields.count());
    for (const auto& entry : Fields) {
        ++counts[entry.item.Name];
    }
    for (auto& entry : Fields) {
        CV_QueryDataSourceField& field = entry.item;
        field.Unique = counts.value(field.Name) == 1;

        QStringList parts = field.Name.split(QLatin1Char('.'));
        for (QString& part : parts) {
            if (NeedsBrackets(part)) {
                part = QLatin1Char('[') + part + QLatin1Char(']');
            }
        }
        field.setFullName(parts.join(QLatin1Char('.')));

        field.TableNameToBracket = NeedsBrackets(field.TableName);
        if (!field.Unique && !field.TableName.isEmpty()) {
            const QString table = field.TableNameToBracket
                                      ? QLatin1Char('[') + field.TableName + QLatin1Char(']')
                                      : field.TableName;
            field.setFullName(table + QLatin1Char('.') + field.FullName());
        }
    }
}

QString CV_QueryDataSource::FieldKey(const QString& sourceName, const QString& fieldName) {
    return QLatin1Char('[') + sourceName + QStringLiteral("].[") + fieldName + QLatin1Char(']');
}
