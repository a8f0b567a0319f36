// qorvel uses DB OBJECT: the tree of what a query, form or report reads.
#include "cli/Command.h"
#include "cli/TreeCommand.h"

namespace {

const QString kSynopsis =
    QStringLiteral("DB OBJECT [--find TEXT] [--whole-word] [--type query|form|report] [--png FILE]");

QORVEL_COMMAND({QStringLiteral("uses"), kSynopsis,
                QStringLiteral("print the tree of the tables and queries a query, form or report reads"),
                [](const QStringList& arguments) {
                    return cli::runTreeCommand(cli::TreeKind::Uses, kSynopsis, arguments);
                }});

}  // namespace
