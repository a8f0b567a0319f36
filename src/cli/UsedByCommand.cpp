// qorvel usedby DB OBJECT: the tree of the queries, forms and reports that read a table or query.
#include "cli/Command.h"
#include "cli/TreeCommand.h"

namespace {

const QString kSynopsis =
    QStringLiteral("DB OBJECT [--find TEXT] [--whole-word] [--type table|query] [--png FILE]");

QORVEL_COMMAND({QStringLiteral("usedby"), kSynopsis,
                QStringLiteral("print the tree of the queries, forms and reports that read a table or query"),
                [](const QStringList& arguments) {
                    return cli::runTreeCommand(cli::TreeKind::UsedBy, kSynopsis, arguments);
                }});

}  // namespace
