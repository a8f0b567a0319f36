#include "plavo/EditorDrafts.h"

#include "catalogue/AddinContext.h"
#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "editor/DraftWriter.h"
#include "platform/QtTimer.h"
#include "platform/RichTextControl.h"
#include "plavo/EditorWindow.h"

#include <QApplication>
#include <QPointer>
#include <QSet>

namespace {

QString databasePath(const AddinContext& context) {
    try {
        return context.application() ? context.application()->currentProject().fullName() : QString();
    } catch (...) {
        return QString();
    }
}

QSet<EditorWindow*> editorWindows() {
    QSet<EditorWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<EditorWindow*>(widget)) {
            windows.insert(window);
        }
    }
    return windows;
}

}  // namespace

namespace EditorDrafts {

void attach(EditorWindow& window, AddinContext& context) {
    auto* timer = new platform::QtTimer;
    auto* writer = new DraftWriter(DraftStore(), *timer, &window);
    timer->setParent(writer);  // outlives the writer's own destructor
    frmEditor& logic = window.logic();
    writer->currentText = [&logic] { return logic.Text(); };
    // Text that is not marked changed has nothing to keep.
    writer->savedText = [&logic] { return logic.IsDirty() ? logic.LoadedSQL() : logic.Text(); };
    QObject::connect(&logic, &frmEditor::textChanged, writer, [writer, &logic, &context] {
        writer->database = databasePath(context);
        writer->query = logic.QueryName();
        writer->textChanged();
    });
    QObject::connect(&logic, &frmEditor::saved, writer, &DraftWriter::saved);
    QObject::connect(&logic, &frmEditor::closed, writer, &DraftWriter::discard);
}

bool restore(AddinContext& context, const Draft& draft) {
    const bool named = !draft.query.isEmpty() && IsQuery(context, draft.query);
    const QSet<EditorWindow*> before = editorWindows();
    if (!ShowQueryEditor(context, named ? draft.query : QString(), false)) {
        return false;
    }
    QPointer<EditorWindow> window;
    for (EditorWindow* candidate : editorWindows()) {
        if (named ? candidate->logic().QueryName().compare(draft.query, Qt::CaseInsensitive) == 0
                  : !before.contains(candidate)) {
            window = candidate;
        }
    }
    if (!window) {
        return false;
    }
    // The editor goes on with the draft it came from, so there is never a second copy of it.
    if (auto* writer = window->findChild<DraftWriter*>()) {
        writer->setId(draft.id);
    }
    // A change of the text like any other: recorded for undo, marked changed, written as a draft.
    window->logic().rtbSQLEditor()->setText(draft.text);
    return true;
}

}  // namespace EditorDrafts
