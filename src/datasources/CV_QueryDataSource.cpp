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
    QString lastTable;
    bool lastTableNeedsBrackets = false;
    for (auto& entry : Fields) {
        CV_QueryDataSourceField& field = entry.item;
        field.Unique = counts.value(field.Name) == 1;

        if (!field.Name.contains(QLatin1Char('.'))) {
            field.setFullName(NeedsBrackets(field.Name) ? QLatin1Char('[') + field.Name + QLatin1Char(']')
                                                        : field.Name);
        } else {
            QStringList parts = field.Name.split(QLatin1Char('.'));
            for (QString& part : parts) {
                if (NeedsBrackets(part)) {
                    part = QLatin1Char('[') + part + QLatin1Char(']');
                }
            }
            field.setFullName(parts.join(QLatin1Char('.')));
        }

        // The fields of one source come together: its name is looked at once.
        if (field.TableName != lastTable || lastTable.isNull()) {
            lastTable = field.TableName;
            lastTableNeedsBrackets = NeedsBrackets(field.TableName);
        }
        field.TableNameToBracket = lastTableNeedsBrackets;
        if (!field.Unique && !field.TableName.isEmpty()) {
            const QString table = field.TableNameToBracket
                                      ? QLatin1Char('[') + field.TableName + QLatin1Char(']')
                                      : field.TableName;
            field.setFullName(table + QLatin1Char('.') + field.FullName());
        }
    }
}

QString CV_QueryDataSource::FieldKey(const QString& sourceName, const QString& fieldName) {
    QString key;
    key.reserve(sourceName.size() + fieldName.size() + 5);
    key.append(QLatin1Char('['))
        .append(sourceName)
        .append(QLatin1String("].["))
        .append(fieldName)
        .append(QLatin1Char(']'));
    return key;
}
