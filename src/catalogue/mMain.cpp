#include "catalogue/mMain.h"

#include "catalogue/CatalogueStatements.h"
#include "support/ErrorBoundary.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <dlfcn.h>

#include <algorithm>
#include <limits>

namespace {

const QString kModule = QStringLiteral("mMain");
constexpr int kMaxObjectNameLength = 64;
constexpr int errOverflow = 6;

host::ObjectStates ObjectState(const AddinContext& context, const host::ObjectRef& object) {
    return context.host().objectState(object);
}

// The query a state test applies to (the current object when none is given); nothing when it is not a query.
std::optional<host::ObjectRef> ResolveQuery(const AddinContext& context,
                                            std::optional<host::ObjectRef> object) {
    if (!object) {
        object = context.host().currentObject();
    }
    if (!object || object->type != host::ObjectType::Query) {
        return std::nullopt;
    }
    return object;
}

}  // namespace

std::shared_ptr<host::Database> UseDatabase(const AddinContext& context, host::Database* database) {
    if (database) {
        return std::shared_ptr<host::Database>(std::shared_ptr<host::Database>(), database);
    }
    return context.currentDatabase();
}

void CloseQuietly(std::unique_ptr<host::Recordset>& recordset) {
    if (recordset) {
        try {
            recordset->close();
        } catch (...) {
        }
        recordset.reset();
    }
}

// ---------------------------------------------------------------------------------------------------------
// Catalogue routines

bool AddAliases(AddinContext& context, const QString& queryName, KeyedCollection<QString>& aliases) {
    std::unique_ptr<host::Recordset> rows;
    const bool done = ErrorBoundary(context.services(), QStringLiteral("AddAliases"), kModule, [&] {
        const std::shared_ptr<host::Database> db = UseDatabase(context, nullptr);
        rows = db->openRecordset(CatalogueStatement(catalogue::kQueryAliases, queryName),
                                 host::RecordsetType::Snapshot);
        for (; !rows->eof(); rows->moveNext()) {
            const QString alias = rows->text(QStringLiteral("Name1"));
            if (!alias.isEmpty()) {
                aliases.addUnique(alias, alias);
            }
        }
    });
    CloseQuietly(rows);
    return done;
}

void CreateTemporaryQuery(AddinContext& context, const QString& sql, host::Database* database,
                          QString& name) {
    try {
        qint16& count = context.temporaryQueryCount();
        if (count == std::numeric_limits<qint16>::max()) {
            throw host::Error(errOverflow, QStringLiteral("Overflow"), kProjectName);
        }
        ++count;
        name = (catalogue::kTemporaryQueryPrefix + QString::number(count)).left(kMaxObjectNameLength);
        const std::shared_ptr<host::Database> db = UseDatabase(context, database);
        try {
            db->createQueryDef(name, sql);
        } catch (const host::Error& error) {
            if (error.number() != host::errObjectExists) {
                throw;
            }
            db->queryDef(name)->setSql(sql);  // left over from an earlier run: reuse it
        }
        db->refreshQueryDefs();
    } catch (...) {
        // a subquery that cannot be saved is simply not followed
    }
}

void DeleteTemporaryQueries(AddinContext& context, host::Database* database) {
    try {
        const std::shared_ptr<host::Database> db = UseDatabase(context, database);
        for (int index = db->queryDefCount() - 1; index >= 0; --index) {
            try {
                const QString name = db->queryDef(index)->name();
                if (name.startsWith(catalogue::kTemporaryQueryPrefix, Qt::CaseSensitive)) {
                    db->deleteQueryDef(name);
                }
            } catch (...) {
                // a definition that cannot be deleted stays
            }
        }
        db->refreshQueryDefs();
    } catch (...) {
    }
    context.temporaryQueryCount() = 0;
}

bool IsWordCharacter(QChar c) {
    const char16_t code = c.unicode();
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'z');
}

bool SQLFind(const platform::Services& services, const QString& text, const QString& find, bool wholeWords,
             int start) {
    return ErrorBoundary(services, QStringLiteral("SQLFind"), kModule, false, [&] {
        if (start < 0) {
            RaiseInvalidArgument();
        }
        int from = start == 0 ? 1 : start;  // 1-based
        while (from <= text.size() + 1) {
            const int index = text.indexOf(find, from - 1, Qt::CaseInsensitive);
            if (index < 0) {
                return false;
            }
            if (!wholeWords) {
                return true;
            }
            const int position = index + 1;
            const int after = position + find.size();  // 1-based position of the character after it
            const bool joinedBefore = position > 1 && IsWordCharacter(text.at(position - 2));
            const bool joinedAfter = after <= text.size() && IsWordCharacter(text.at(after - 1));
            if (!joinedBefore && !joinedAfter) {
                return true;
            }
            // An empty find text would be found again at the same place.
            from = position + std::max(1, static_cast<int>(find.size()));
        }
        return false;
    });
}

// ---------------------------------------------------------------------------------------------------------
// Safe substitution into statements and filters

QString CatalogueStatement(const QString& statement, const QString& name) {
    // One pass over the statement: a name that itself holds "{Name}" is not substituted again. The
    // placeholder stands between apostrophes, so the name's own apostrophes are doubled.
    QString doubled = name;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    QString result;
    result.reserve(statement.size() + name.size());
    const QString& placeholder = catalogue::kNamePlaceholder;
    qsizetype from = 0;
    for (qsizetype at = statement.indexOf(placeholder, from, Qt::CaseSensitive); at >= 0;
         at = statement.indexOf(placeholder, from, Qt::CaseSensitive)) {
        result += QStringView(statement).mid(from, at - from);
        result += doubled;
        from = at + placeholder.size();
    }
    result += QStringView(statement).mid(from);
    return result;
}

QString SqlTextLiteral(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString FilterEquals(const QString& fieldName, const QString& value) {
    return fieldName + QStringLiteral(" = ") + SqlTextLiteral(value);
}

// ---------------------------------------------------------------------------------------------------------
// Object state and properties

bool rFormIsOpen(AddinContext& context, const QString& formName) {
    return ErrorBoundary(context.services(), QStringLiteral("rFormIsOpen"), kModule, false, [&] {
        return ObjectState(context, {host::ObjectType::Form, formName}) > 0;
    });
}

bool rReportIsOpen(AddinContext& context, const QString& reportName) {
    return ErrorBoundary(context.services(), QStringLiteral("rReportIsOpen"), kModule, false, [&] {
        return ObjectState(context, {host::ObjectType::Report, reportName}) != host::ObjectStates();
    });
}

bool IsQueryNew(AddinContext& context, const std::optional<host::ObjectRef>& object) {
    try {
        const std::optional<host::ObjectRef> query = ResolveQuery(context, object);
        return query && ObjectState(context, *query).testFlag(host::ObjectState::New);
    } catch (...) {
        return false;
    }
}

bool IsQueryDirty(AddinContext& context, const std::optional<host::ObjectRef>& object) {
    try {
        const std::optional<host::ObjectRef> query = ResolveQuery(context, object);
        if (!query) {
            return false;
        }
        const host::ObjectStates state = ObjectState(context, *query);
        return !state.testFlag(host::ObjectState::New) && state.testFlag(host::ObjectState::Dirty);
    } catch (...) {
        return false;
    }
}

bool IsTable(const AddinContext& context, const QString& name, host::Database* database) {
    try {
        return UseDatabase(context, database)->findObject(host::ObjectType::Table, name).has_value();
    } catch (...) {
        return false;
    }
}

bool IsQuery(const AddinContext& context, const QString& name, host::Database* database) {
    try {
        return UseDatabase(context, database)->findObject(host::ObjectType::Query, name).has_value();
    } catch (...) {
        return false;
    }
}

QString FormRecordSource(AddinContext& context, const QString& formName) {
    host::Application& application = context.host();
    if (rFormIsOpen(context, formName)) {
        return application.formRecordSource(formName);
    }
    application.doCmd().openForm(formName, host::View::Design, QString(), QString(),
                                 host::DataMode::PropertySettings, host::WindowMode::Hidden);
    QString recordSource;
    try {
        recordSource = application.formRecordSource(formName);
    } catch (...) {
        // do not leave the hidden design window behind
        try {
            application.doCmd().close({host::ObjectType::Form, formName}, host::SaveOption::No);
        } catch (...) {
        }
        throw;
    }
    application.doCmd().close({host::ObjectType::Form, formName}, host::SaveOption::No);
    return recordSource;
}

QString ReportRecordSource(AddinContext& context, const QString& reportName) {
    // Every step is tried on its own: a report that cannot be read gives what could be read.
    const auto attempt = [](auto&& step) {
        try {
            step();
        } catch (...) {
        }
    };
    QString recordSource;
    if (!context.application()) {
        return recordSource;
    }
    host::Application& application = *context.application();
    if (rReportIsOpen(context, reportName)) {
        attempt([&] { recordSource = application.reportRecordSource(reportName); });
        return recordSource;
    }
    if (AccessMajorVersion(context) < 10) {
        attempt([&] { application.echo(false); });
        attempt([&] { application.doCmd().openReport(reportName, host::View::Design); });
    } else {
        attempt([&] {
            application.doCmd().openReport(reportName, host::View::Design, host::WindowMode::Hidden);
        });
    }
    attempt([&] { recordSource = application.reportRecordSource(reportName); });
    attempt([&] { application.doCmd().close({host::ObjectType::Report, reportName}, host::SaveOption::No); });
    attempt([&] { application.echo(true); });
    return recordSource;
}

QString ObjectDescription(AddinContext& context, const host::ObjectRef& object) {
    QString container;
    switch (object.type) {
        case host::ObjectType::Table:
        case host::ObjectType::Query:
            container = QStringLiteral("Tables");
            break;
        case host::ObjectType::Form:
            container = QStringLiteral("Forms");
            break;
        case host::ObjectType::Report:
            container = QStringLiteral("Reports");
            break;
        default:
            return QString();
    }
    try {
        return UseDatabase(context, nullptr)
            ->documentProperty(container, object.name, QStringLiteral("Description"))
            .toString();
    } catch (...) {
        return QString();
    }
}

// ---------------------------------------------------------------------------------------------------------
// Host version and help

quint8 AccessMajorVersion(const AddinContext& context) {
    try {
        // The leading number of the version text ("12.0", "9.0 Beta").
        static const QRegularExpression leadingNumber(QStringLiteral("^\\s*(\\d+(?:\\.\\d*)?)"));
        const QString version = context.host().accessVersion();
        const QRegularExpressionMatch match = leadingNumber.match(version);
        if (!match.hasMatch()) {
            return 0;
        }
        const int major = qRound(match.captured(1).toDouble());
        return major >= 0 && major <= 255 ? static_cast<quint8>(major) : 0;
    } catch (...) {
        return 0;
    }
}

QString HelpFileName() {
    return kProjectName + QStringLiteral("-help");
}

QString HelpFilePath() {
    // On this platform "/" separates folders, so the folder is joined the platform's way.
    return QDir(AddInFolder()).filePath(HelpFileName());
}

QString AddInFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&AddInFolder), &info) != 0 && info.dli_fname && *info.dli_fname) {
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    }
    return QDir::currentPath();
}

QString AddBackslash(const QString& path) {
    const QString trimmed = path.trimmed();
    return trimmed.endsWith(QLatin1Char('\\')) ? trimmed : trimmed + QLatin1Char('\\');
}

// ---------------------------------------------------------------------------------------------------------
// Text, collection and file utilities

QString TrimChars(const QString& text, const QString& pattern, int mode) {
    const qsizetype length = pattern.size();
    if (length == 0) {
        return text;
    }
    QString result = text;
    if (mode < 2) {
        qsizetype at = 0;
        while (at < result.size() && QStringView(result).mid(at, length) == pattern) {
            at += length;
        }
        if (at < result.size()) {
            result = result.mid(at);
        }
    }
    if (mode > 0) {
        qsizetype at = result.size() - length;  // 0-based start of the last possible copy
        while (at >= 0 && QStringView(result).mid(at, length) == pattern) {
            at -= length;
        }
        // What is left before the trailing copies; a text of copies only stays as it is. A remainder shorter
        // than the pattern is kept too, so "-ab" loses its trailing "ab".
        if (at + length > 0) {
            result = result.left(at + length);
        }
    }
    return result;
}

QString ReplaceChars(const QString& text, const QString& characters, const QString& replacement) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (characters.contains(c, Qt::CaseSensitive)) {
            result += replacement;
        } else {
            result += c;
        }
    }
    return result;
}

void AddQuotes(QString& text, bool apostrophe) {
    const QChar quote = apostrophe ? QLatin1Char('\'') : QLatin1Char('"');
    if (!text.startsWith(quote)) {
        text.prepend(quote);
    }
    if (!text.endsWith(quote) || text.size() == 1) {
        text.append(quote);
    }
}

bool FileExists(const QString& path) {
    try {
        const QFileInfo info(path);
        return info.exists() && !info.isDir() && info.size() >= 0 && info.isReadable();
    } catch (...) {
        return false;
    }
}
