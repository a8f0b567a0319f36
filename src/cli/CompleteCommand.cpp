// qorvel complete DB QUERY --at POS [--sql FILE]: the placeholder at a caret position of a query's SQL and
// the list the editor would pop up there.
#include "cli/Command.h"
#include "cli/CommandLine.h"
#include "cli/HostSession.h"

#include "completion/CompletionLists.h"
#include "datasources/mQueryDataSourceList.h"
#include "editor/HeadlessEditor.h"
#include "host/QdbDatabase.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/InMemoryTimer.h"

#include <QFile>
#include <QStringDecoder>

namespace cli {

namespace {

const QString kName = QStringLiteral("complete");
const QString kSynopsis = QStringLiteral("DB QUERY --at POS [--sql FILE]");

// Records the list instead of showing it; nothing is chosen, so the text stays as it was.
class ListRecorder : public PopUpWindows {
public:
    QString ShowList(const QStringList& rows) override {
        shown = rows;
        return QString();
    }
    std::optional<QString> InputText(bool) override { return std::nullopt; }
    QStringList shown;
};

class Editor : public CompletionOwner {
public:
    Editor(AddinContext& context) : mEditor(context, mControl, mTimer) {}
    void load(const QString& text) {
        mEditor.Initialize(text);
        mTimer.fire();
    }
    platform::RichTextControl* rtbSQLEditor() const override { return &mControl; }
    std::unique_ptr<CV_QueryDataSource>& queryDataSource() override { return dataSource; }
    CSQLColorize* colorizer() const override { return mEditor.colorizer(); }
    PopUpWindows& popUps() override { return recorder; }

    std::unique_ptr<CV_QueryDataSource> dataSource;
    ListRecorder recorder;

private:
    mutable platform::InMemoryRichTextControl mControl;
    platform::InMemoryTimer mTimer;
    HeadlessEditor mEditor;
};

int run(const QStringList& arguments) {
    const QCommandLineOption atOption(QStringLiteral("at"),
                                      QStringLiteral("The caret position, 0-based; a CR LF counts two."),
                                      QStringLiteral("POS"));
    const QCommandLineOption sqlOption(
        QStringLiteral("sql"),
        QStringLiteral("Takes the SQL text from FILE (UTF-8) instead of the saved query."),
        QStringLiteral("FILE"));
    CommandLine line(
        kName, kSynopsis,
        QStringLiteral(
            "Puts the caret at POS in the saved SQL of QUERY (or the text of FILE, its line ends read as\n"
            "CR LF) and looks for a placeholder there as the editor does. Prints\n"
            "'placeholder TEXT START LENGTH' and then the list the editor would show, one item a line:\n"
            "tables and queries for {table...}, the fields of the query's data sources for {field...},\n"
            "those and <Null>, <Numeric>, <String> for {value...}. Exit 1 when the caret is not in a\n"
            "placeholder or the query does not exist."),
        {atOption, sqlOption}, 2, 2);
    if (const auto done = line.parse(arguments)) {
        return *done;
    }
    if (!line.isSet(QStringLiteral("at"))) {
        return line.usageError(QStringLiteral("--at POS is required"));
    }
    bool numeric = false;
    const int caret = line.value(QStringLiteral("at")).toInt(&numeric);
    if (!numeric || caret < 0) {
        return line.usageError(QStringLiteral("POS must be a number from 0 on"));
    }
    QString sql;
    if (line.isSet(QStringLiteral("sql"))) {
        QFile file(line.value(QStringLiteral("sql")));
        if (!file.open(QIODevice::ReadOnly)) {
            return line.usageError(
                QStringLiteral("cannot read %1: %2").arg(quoted(file.fileName()), file.errorString()));
        }
        QStringDecoder decoder(QStringDecoder::Utf8);
        sql = decoder.decode(file.readAll());
        if (decoder.hasError()) {
            return line.usageError(QStringLiteral("%1 is not UTF-8 text").arg(quoted(file.fileName())));
        }
    }

    HostSession session;
    if (!session.open(line.positional().at(0))) {
        return exitUsage;
    }
    const QString queryName = line.positional().at(1);
    if (!line.isSet(QStringLiteral("sql"))) {
        try {
            sql = session.database().queryDef(queryName)->sql();
        } catch (const host::Error& error) {
            return queryFailure(error, queryName);
        }
    }

    Editor editor(session.context());
    editor.load(sql);
    platform::RichTextControl& control = *editor.rtbSQLEditor();
    if (caret > control.text().size()) {
        return line.usageError(QStringLiteral("POS %1 is beyond the text's %2 characters")
                                   .arg(caret)
                                   .arg(control.text().size()));
    }
    if (session.database().findObject(host::ObjectType::Query, queryName)) {
        editor.dataSource = rQueryDataSourceFieldList(session.context(), queryName);
    }
    control.setSelStart(caret);
    CompletionLists lists(session.context(), editor);
    lists.ShowPlaceholderList();
    if (control.selLength() == 0) {
        return exitNothing;
    }
    out() << "placeholder " << control.selText() << ' ' << control.selStart() << ' ' << control.selLength()
          << '\n';
    for (const QString& item : editor.recorder.shown) {
        out() << item << '\n';
    }
    return exitOk;
}

QORVEL_COMMAND({kName, kSynopsis,
                QStringLiteral("Shows the placeholder at a caret position and the list the editor offers"),
                run});

}  // namespace

}  // namespace cli
