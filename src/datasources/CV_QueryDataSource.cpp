#include "datasources/CV_QueryDataSource.h"

#include <QHash>
#include <QStringBuilder>
#include <QStringList>

#include <algorithm>
#include <vector>

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
    // Whether each name is borne by one field only (exact comparison), counted once up front rather than
    // comparing every field with every field, in an index of positions rather than a hash table of
    // names, which for a wide query would be a second index as big as the record's own.
    const std::size_t size = std::size_t(Fields.count());
    std::vector<int> firstOf(size);
    std::vector<int> bearers(size, 0);
    {
        TextIndex names;
        names.reserve(size);
        const auto nameAt = [this](int i) -> const QString& { return Fields.at(i).Name; };
        const auto same = [](const QString& a, const QString& b) { return a == b; };
        for (std::size_t i = 0; i < size; ++i) {
            const QString& name = Fields.at(int(i)).Name;
            const size_t hash = qHash(name);
            int first = names.find(name, hash, nameAt, same);
            if (first < 0) {
                first = int(i);
                names.insert(hash, first);
            }
            firstOf[i] = first;
            ++bearers[std::size_t(first)];
        }
    }
    QString lastTable;
    bool lastTableNeedsBrackets = false;
    std::size_t index = 0;
    for (auto& entry : Fields) {
        CV_QueryDataSourceField& field = entry.item;
        field.Unique = bearers[std::size_t(firstOf[index++])] == 1;

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
