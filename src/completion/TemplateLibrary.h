// The template library: SQL fragments and whole queries, one plain text file each, in the folders
// templates/fragments, templates/queries and templates/queries/select beside the add-in's own file and in
// the user's data folder (where a user adds templates without write access to the installation).
#pragma once

#include "platform/Platform.h"
#include "support/KeyedCollection.h"

#include <QString>
#include <QStringList>

// One template: its name (the file name without extension) and its text.
struct CDictionary {
    QString EntryKey;
    QString EntryValue;
};
using TemplateCollection = KeyedCollection<CDictionary>;

namespace templates {
inline const QString kFragments = QStringLiteral("fragments");
inline const QString kQueries = QStringLiteral("queries");
inline const QString kSelectQueries = QStringLiteral("queries/select");
}  // namespace templates

// The "templates" folders, in the order they are read: the one beside the add-in, then the user's.
QStringList TemplateRoots();
// The user's own templates folder (which need not exist).
QString UserTemplateRoot();

// The templates of one sub-folder (templates::kFragments, ...) of every root, ordered by name without
// regard to case. A name found again (another extension, or the same name in a later root) is left out,
// except that a user's template replaces the add-in's template of the same name. Missing folders give
// nothing, unreadable files are skipped.
TemplateCollection GetTemplates(const platform::Services& services, const QStringList& roots,
                                const QString& subFolder);
// A template file's text: its lines, CR LF after each, without CR LF pairs at its start and end.
QString TemplateText(QString contents);
