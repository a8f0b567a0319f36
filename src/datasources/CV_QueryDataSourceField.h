// One column of one data source of a query, with the text to insert into SQL for it.
#pragma once

#include <QString>

class CV_QueryDataSourceField {
public:
    QString Name;                     // the column name as the source defines it
    QString TableName;                // the table or query that supplies the column
    qint16 datatype = 0;              // not filled by the producers
    bool Unique = false;              // no other field of the record has the same Name (exact comparison)
    bool FieldNameToBracket = false;  // not filled by the producers
    bool TableNameToBracket = false;  // TableName holds a character that needs brackets
    QString mFullName;                // the qualified name once AnalyzeFields has run

    // The text inserted into SQL: the qualified name when set, else Name.
    QString FullName() const { return mFullName.isEmpty() ? Name : mFullName; }
    void setFullName(const QString& fullName) { mFullName = fullName; }
};

// True when the text holds a character other than a digit or a code from "A" to "z" (which takes in
// "[", "\", "]", "^", "_" and "`"): such a name must stand in square brackets.
bool NeedsBrackets(const QString& text);
