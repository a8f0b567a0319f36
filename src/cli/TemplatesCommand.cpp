// qorvel templates [--mode insert|create]: the rows of the template window.
#include "cli/Command.h"
#include "cli/CommandLine.h"

#include "catalogue/AddinContext.h"
#include "completion/frmTemplates.h"
#include "host/HostApplication.h"

namespace cli {

namespace {

const QString kName = QStringLiteral("templates");
const QString kSynopsis = QStringLiteral("[--mode insert|create]");

int run(const QStringList& arguments) {
    const QCommandLineOption modeOption(
        QStringLiteral("mode"),
        QStringLiteral("insert (the editor's Template button, the default) or create (a new query)."),
        QStringLiteral("MODE"), QStringLiteral("insert"));
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral(
            "Prints the rows of the template window, one a line: the tab, the name and the tag, separated\n"
            "by tabs. Insert mode lists the rows of each of its tabs (All, Fragments, Queries) in turn;\n"
            "create mode has no tabs (the first field is empty) and begins with the design view and the\n"
            "query wizards. Templates are read from the templates folder beside the add-in and from the\n"
            "user's own (%1). Exit 1 when there is no row.")
            .arg(UserTemplateRoot()),
        {modeOption}, 0, 0);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    const QString mode = line.value(QStringLiteral("mode"));
    if (mode != QLatin1String("insert") && mode != QLatin1String("create")) {
        return line.usageError(QStringLiteral("unknown mode %1").arg(quoted(mode)));
    }
    const auto application = qdb::HostApplication::create();
    AddinContext context(application.get());
    frmTemplates window(context);
    window.Form_Load();
    int rows = 0;
    const auto print = [&](const QString& tab) {
        for (const TemplateRow& row : window.Rows()) {
            out() << tab << '\t' << row.name << '\t' << row.tag << '\n';
            ++rows;
        }
    };
    if (mode == QLatin1String("create")) {
        window.Init(3);
        print(QString());
    } else {
        window.Init(1);
        for (int tab = 1; tab <= 3; ++tab) {
            window.tbsOptions_Click(tab);
            print(frmTemplates::kTabCaptions.at(tab - 1));
        }
    }
    return rows > 0 ? exitOk : exitNothing;
}

QORVEL_COMMAND({kName, kSynopsis, QStringLiteral("Lists the rows of the template window"), run});

}  // namespace

}  // namespace cli
