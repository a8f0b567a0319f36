// The main module: catalogue routines and the host services that several tools share.
#pragma once

#include "catalogue/AddinContext.h"
#include "hostapi/host.h"
#include "support/KeyedCollection.h"

#include <QString>
#include <QStringList>

#include <memory>

// The database passed, or the host's current database (error 91 when there is none); holding the result
// keeps the current database alive.
std::shared_ptr<host::Database> UseDatabase(const AddinContext& context, host::Database* database);
// Closes the recordset, ignoring a failure to close, and releases it.
void CloseQuietly(std::unique_ptr<host::Recordset>& recordset);

// Catalogue routines. A null database means the host's current database.

// Adds every output-column alias of the query to the collection, each under itself as key.
bool AddAliases(AddinContext& context, const QString& queryName, KeyedCollection<QString>& aliases);
// Creates or overwrites the next temporary query with the SQL text; name receives its name even when
// nothing could be created.
void CreateTemporaryQuery(AddinContext& context, const QString& sql, host::Database* database, QString& name);
void DeleteTemporaryQueries(AddinContext& context, host::Database* database = nullptr);

// Deletes the temporary queries when it goes, whichever way the build that made them ends.
class TemporaryQueryScope {
public:
    explicit TemporaryQueryScope(AddinContext& context, host::Database* database = nullptr)
        : mContext(context), mDatabase(database) {}
    ~TemporaryQueryScope() { DeleteTemporaryQueries(mContext, mDatabase); }
    TemporaryQueryScope(const TemporaryQueryScope&) = delete;
    TemporaryQueryScope& operator=(const TemporaryQueryScope&) = delete;

private:
    AddinContext& mContext;
    host::Database* mDatabase;
};

// A character that continues a word for the whole-word tests: "0" to "9" and the codes "A" to "z" (so "_"
// too), by character code.
bool IsWordCharacter(QChar c);
// True when find occurs in text at or after start (1-based; 0 counts as 1), as a whole word if asked.
bool SQLFind(const platform::Services& services, const QString& text, const QString& find, bool wholeWords,
             int start = 0);

// A catalogue statement with every "{Name}" replaced by the object's name, made safe to stand between
// apostrophes.
QString CatalogueStatement(const QString& statement, const QString& name);
// The text as an SQL literal between apostrophes, with its own apostrophes doubled.
QString SqlTextLiteral(const QString& text);
// A recordset filter that compares a field with a text: fieldName = 'value' (the value made safe).
QString FilterEquals(const QString& fieldName, const QString& value);

// Object state. Without an object the tests apply to the host's current object; anything but a query is
// neither new nor dirty.
bool rFormIsOpen(AddinContext& context, const QString& formName);
bool rReportIsOpen(AddinContext& context, const QString& reportName);
bool IsQueryNew(AddinContext& context, const std::optional<host::ObjectRef>& object = std::nullopt);
bool IsQueryDirty(AddinContext& context, const std::optional<host::ObjectRef>& object = std::nullopt);

// Object tests and properties. A null database means the current database.
bool IsTable(const AddinContext& context, const QString& name, host::Database* database = nullptr);
bool IsQuery(const AddinContext& context, const QString& name, host::Database* database = nullptr);
// Failures reach the caller.
QString FormRecordSource(AddinContext& context, const QString& formName);
// Failures are passed over; empty text when nothing could be read.
QString ReportRecordSource(AddinContext& context, const QString& reportName);
QString ObjectDescription(AddinContext& context, const host::ObjectRef& object);

// The host's major version (SysCmd 7), 0 when it cannot be read.
quint8 AccessMajorVersion(const AddinContext& context);

// The help: the folder "plavo-help" of HTML pages beside the add-in (index.html its contents page).
QString HelpFileName();
QString HelpFilePath();
// The folder of the file that holds the add-in's code.
QString AddInFolder();
// The path trimmed of blanks and ending in one "\".
QString AddBackslash(const QString& path);

// Text utilities. TrimChars strips copies of the pattern: mode 0 leading, 1 both ends, 2 trailing.
QString TrimChars(const QString& text, const QString& pattern, int mode = 1);
QString ReplaceChars(const QString& text, const QString& characters, const QString& replacement);
// Puts an apostrophe (or a double quote) in front of and after the text unless it is already there.
void AddQuotes(QString& text, bool apostrophe);

template <typename T>
bool CollectionHasKey(const KeyedCollection<T>& collection, const QString& key) {
    return collection.contains(key);
}

// True when the path names a readable file (not a folder).
bool FileExists(const QString& path);
