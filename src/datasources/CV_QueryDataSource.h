// One query's data sources: the tables and queries it reads and the columns they offer.
#pragma once

#include "datasources/CV_QueryDataSourceField.h"
#include "support/KeyedCollection.h"

#include <QString>

class CV_QueryDataSource {
public:
    // One entry per column of every source, keyed "[" + source + "].[" + column + "]", in the order the
    // sources were added.
    KeyedCollection<CV_QueryDataSourceField> Fields;
    // The names of the sources, each keyed by itself, in the order found.
    KeyedCollection<QString> SourceNames;

    // Sets Unique, TableNameToBracket and FullName of every field.
    void AnalyzeFields();

    // The key of a column of a source in Fields.
    static QString FieldKey(const QString& sourceName, const QString& fieldName);
};
