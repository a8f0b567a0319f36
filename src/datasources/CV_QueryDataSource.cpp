#include "datasources/CV_QueryDataSource.h"

#include <QHash>
#include <QStringBuilder>
#include <QStringList>

#include <algorithm>

namespace {

// Writes the name at out, in square brackets when asked; returns the position after it.
QChar* writeName(QChar* out, const QString& name, bool brackets) {
    if (brackets) {
        *out++ = QLatin1Char('[');
    }
    out = std::copy(name.cbegin(), name.cend(), out);
    if (brackets) {
        *out++ = QLatin1Char(']');
    }
    return out;
}

}  // namespace

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

        // The fields of one source come together: its name is looked at once.
        if (field.TableName != lastTable || lastTable.isNull()) {
            lastTable = field.TableName;
            lastTableNeedsBrackets = NeedsBrackets(field.TableName);
        }
        field.TableNameToBracket = lastTableNeedsBrackets;
        const bool qualified = !field.Unique && !field.TableName.isEmpty();

        // Each full name is written in one piece: tens of thousands of them are made for a wide query.
        if (!field.Name.contains(QLatin1Char('.'))) {
            const bool brackets = NeedsBrackets(field.Name);
            if (!qualified && !brackets) {
                field.setFullName(field.Name);
                continue;
            }
            const qsizetype tableSize =
                qualified ? field.TableName.size() + (field.TableNameToBracket ? 3 : 1) : 0;
            QString fullName(tableSize + field.Name.size() + (brackets ? 2 : 0), Qt::Uninitialized);
            QChar* out = fullName.data();
            if (qualified) {
                out = writeName(out, field.TableName, field.TableNameToBracket);
                *out++ = QLatin1Char('.');
            }
            writeName(out, field.Name, brackets);
            field.setFullName(fullName);
            continue;
        }
        QStringList parts = field.Name.split(QLatin1Char('.'));
        for (QString& part : parts) {
            if (NeedsBrackets(part)) {
                part = QLatin1Char('[') + part + QLatin1Char(']');
            }
        }
        if (qualified) {
            parts.prepend(field.TableNameToBracket ? QLatin1Char('[') + field.TableName + QLatin1Char(']')
                                                   : field.TableName);
        }
        field.setFullName(parts.join(QLatin1Char('.')));
    }
}

QString CV_QueryDataSource::FieldKey(const QString& sourceName, const QString& fieldName) {
    return QLatin1Char('[') % sourceName % QLatin1String("].[") % fieldName % QLatin1Char(']');
}
