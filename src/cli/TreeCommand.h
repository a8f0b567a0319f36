// What `qorvel uses` and `qorvel usedby` share: arguments, opening the database as the host's current one,
// running the add-in's tree command and printing the tree text.
#pragma once

#include <QString>
#include <QStringList>

namespace cli {

enum class TreeKind { Uses, UsedBy };

// synopsis: as the command registered it.
int runTreeCommand(TreeKind kind, const QString& synopsis, const QStringList& arguments);

}  // namespace cli
