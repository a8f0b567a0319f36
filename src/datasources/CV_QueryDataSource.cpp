#include "datasources/CV_QueryDataSource.h"

#include <QStringList>

void CV_QueryDataSource::AnalyzeFields() {
    // Every field is compared with every field; the record is built once per editor and reused.
    for (auto& entry : Fields) {
        CV_QueryDataSourceField& field = entry.item;
        int count = 0;
        for (const auto& other : Fields) {
            if (other.item.Name == field.Name) {
                ++count;
            }
        }
        field.Unique = count == 1;

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
