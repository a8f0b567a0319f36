// Unsaved editor text kept on disk, so that a crash or a kill of the host loses nothing: one draft per
// editor whose text differs from its saved query, each a small JSON file in the user's data folder,
// written atomically (a reader sees the old draft or the new one, never half of one).
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

struct Draft {
    QString id;        // the editor's draft, stable while the editor is open; the file's base name
    QString database;  // full path of the database file
    QString query;     // the saved query's name; empty for a new query
    QString text;      // the editor's text, CR LF line ends
    QDateTime time;    // when it was written, UTC
};

class DraftStore {
public:
    // The drafts live in the folder given (created when the first draft is written).
    explicit DraftStore(QString folder = DefaultFolder());

    // "Drafts" in the application's data folder (QStandardPaths::AppDataLocation).
    static QString DefaultFolder();
    // A new draft id.
    static QString NewId();
    const QString& folder() const { return mFolder; }

    // Writes the draft in place of the one with its id; false when it could not be written (the old
    // draft, if any, is then still whole).
    bool write(const Draft& draft) const;
    // Removes the draft with that id; true when none is left.
    bool remove(const QString& id) const;
    // The drafts of a database, oldest first. Files that are not drafts are passed over.
    QList<Draft> draftsFor(const QString& database) const;
    std::optional<Draft> read(const QString& id) const;

    // Database paths are compared as the file system sees them (absolute, links resolved).
    static QString databaseKey(const QString& path);

private:
    QString fileOf(const QString& id) const;

    QString mFolder;
};
