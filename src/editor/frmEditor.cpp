#include "editor/frmEditor.h"

#include "catalogue/mMain.h"
#include "catalogue/mMainWindows.h"
#include "datasources/CV_QueryDataSource.h"
#include "datasources/DataSourceFields.h"
#include "datasources/mQueryDataSourceList.h"
#include "platform/Prompter.h"
#include "platform/Timer.h"
#include "platform/VirtualKeys.h"
#include "support/ErrorBoundary.h"

#include <algorithm>

namespace {

const QString kModule = QStringLiteral("frmEditor");
const QString kCrLf = QStringLiteral("\r\n");
const QString kCaptionPrefix = QStringLiteral("SQL Editor - ");

namespace procedure {
const QString initialize = QStringLiteral("Initialize");
const QString save = QStringLiteral("Save");
const QString openQuery = QStringLiteral("OpenQuery");
const QString refreshEditor = QStringLiteral("RefreshEditor");
const QString formUnload = QStringLiteral("Form_Unload");
const QString insertTemplate = QStringLiteral("InsertTemplate");
}  // namespace procedure

// Mouse buttons of MouseUp.
constexpr int vbRightButton = 2;

// Keys of the window's key table.
constexpr int keyA = 65;
constexpr int keyD = 68;
constexpr int keyF = 70;
constexpr int keyH = 72;
constexpr int keyI = 73;
constexpr int keyO = 79;
constexpr int keyP = 80;
constexpr int keyR = 82;
constexpr int keyS = 83;
constexpr int keyT = 84;
constexpr int keyU = 85;

// The Alt keys of the window and the buttons whose state they follow.
struct AltKey {
    int keyCode;
    const char* button;
};
constexpr AltKey kAltKeys[] = {{keyS, "Save"},       {keyA, "SaveAs"},   {keyU, "Undo"}, {keyR, "Redo"},
                               {keyI, "InsertItem"}, {keyT, "Template"}, {keyF, "Find"}, {keyP, "Replace"},
                               {keyD, "Design"},     {keyO, "Open"}};

const char* const kButtonKeys[] = {"Save", "SaveAs",  "Undo",   "Redo", "InsertItem", "Template",
                                   "Find", "Replace", "Design", "Open", "Help"};

const char* const kObjectItems[] = {"mnuOpen", "mnuDesign", "mnuEdit", "mnuSep1", "mnuQorvel", "mnuUsedBy"};

// Replaces every occurrence of marker, ignoring case, as the messages' substitutions do.
QString substitute(QString text, const QString& marker, const QString& value) {
    return text.replace(marker, value, Qt::CaseInsensitive);
}

bool isNameEnd(QChar c) {
    return c == QLatin1Char('.') || c == QLatin1Char(',') || c == QLatin1Char(')') || c == QLatin1Char(';') ||
           c == QLatin1Char(' ') || c.unicode() < 32;
}

}  // namespace

frmEditor::frmEditor(AddinContext& context, platform::RichTextControl& rtb, platform::Timer& tmr,
                     platform::Timer& tmrGetActiveWindow, frmEditorSurface& surface, QObject* parent)
    : QObject(parent),
      mContext(context),
      mRtb(rtb),
      mTmr(tmr),
      mWatch(tmrGetActiveWindow),
      mSurface(surface) {
    mLoading = true;
    connect(&mTmr, &platform::Timer::timeout, this, &frmEditor::tmr_Timer);
    connect(&mWatch, &platform::Timer::timeout, this, &frmEditor::tmrGetActiveWindow_Timer);
    connect(&mRtb, &platform::RichTextControl::KeyUp, this, &frmEditor::rtbSQLEditor_KeyUp);
    connect(&mRtb, &platform::RichTextControl::MouseUp, this, &frmEditor::rtbSQLEditor_MouseUp);
    connect(&mRtb, &platform::RichTextControl::OLEDragDrop, this, &frmEditor::rtbSQLEditor_OLEDragDrop);
    connect(&mRtb, &platform::RichTextControl::OLEDragOver, this, [this](const QString&, int, int, bool*) {
        if (mSurface.foregroundWindow() != mSurface.windowHandle()) {
            mRtb.setFocus();
        }
    });
    for (const char* key : kButtonKeys) {
        mButtons.insert(QString::fromLatin1(key), true);
    }
    for (const char* item : {"mnuOpen", "mnuDesign", "mnuEdit", "mnuSep1", "mnuQorvel", "mnuUsedBy",
                             "mnuSep2", "mnuCut", "mnuCopy", "mnuPaste"}) {
        mMenu.insert(QString::fromLatin1(item), MenuItem{});
    }
    mSearch = std::make_unique<EditorSearch>(mContext, mRtb);
    mSearch->queryName = [this] { return mQueryName; };
    mSearch->dataSource = [this] { return mQueryDataSource.get(); };
    mSearch->beforeReplaceAll = [this] {
        if (mSQLColorize) {
            mSQLColorize->FullParse = true;
        }
    };
    mFirstTick = true;
    mTmr.start(kFirstTickInterval);
    mLoading = false;
}

frmEditor::~frmEditor() {
    // The buffer first: it reads the colouriser's state through TrapUndo.
    mRTB.reset();
    mSQLColorize.reset();
    mSearch.reset();
}

QString frmEditor::Text() const {
    return mRtb.text();
}

bool frmEditor::TrapUndo() const {
    return !mLoading && mSQLColorize && mSQLColorize->TrapUndo();
}

QString frmEditor::PreviousText() const {
    if (!mRTB) {
        return QString();
    }
    if (!mRTB->RedoList().empty()) {
        return mRTB->RedoList().back().Text;
    }
    const auto& undo = mRTB->UndoList();
    return undo.size() >= 2 ? undo[undo.size() - 2].Text : QString();
}

void frmEditor::setToolbarButtonEnabled(const QString& key, bool enabled) {
    const auto found = mButtons.find(key);
    if (found == mButtons.end() || found.value() != enabled) {
        mButtons.insert(key, enabled);
        mSurface.commandsChanged();
    }
}

bool frmEditor::toolbarButtonEnabled(const QString& key) const {
    return mButtons.value(key, false);
}

QString frmEditor::clipboardText() const {
    return mSurface.clipboardText();
}

void frmEditor::setMousePointer(host::MousePointer pointer) {
    try {
        if (auto* application = mContext.application()) {
            application->screen().setMousePointer(pointer);
        }
    } catch (...) {
    }
}

void frmEditor::setCaption(const QString& caption) {
    mCaption = caption;
    mSurface.setCaption(caption);
}

platform::MsgResult frmEditor::Ask(const QString& text, platform::MsgButtons buttons, platform::MsgIcon icon,
                                   const QString& title, int defaultButton) {
    platform::Prompter* prompter = mContext.services().prompter;
    if (!prompter) {
        return platform::MsgResult::Cancel;
    }
    platform::Message message;
    message.text = text;
    message.buttons = buttons;
    message.icon = icon;
    message.title = title;
    message.defaultButton = defaultButton;
    return prompter->msgBox(message);
}

// ---- Loading ----

bool frmEditor::Initialize(const QString& queryName, const QString& sql) {
    setMousePointer(host::MousePointer::Hourglass);
    mWatch.stop();
    mQueryName = queryName;
    bool result = false;
    try {
        result = LoadQuery(queryName, sql);
    } catch (const host::Error& error) {
        if (error.number() != host::errItemNotFound) {
            ErrorHandle(mContext.services(), error, 0, QString(), procedure::initialize, kModule);
        } else if (IsTable(mContext, queryName)) {
            platform::showMessage(mContext.services(),
                                  QStringLiteral("The Query Editor can not be used on a table."),
                                  platform::MsgIcon::Exclamation);
        } else if (Ask(QStringLiteral("Query '") + queryName +
                           QStringLiteral("' not found in this Database.") + kCrLf +
                           QStringLiteral("Create new Query?"),
                       platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                       QStringLiteral("Query not found")) == platform::MsgResult::Yes) {
            // The new, empty query is loaded like any other, so that it colours and keeps an undo history.
            result = ErrorBoundary(mContext.services(), procedure::initialize, kModule, false, [&] {
                mContext.currentDatabase()->createQueryDef(queryName);
                return LoadQuery(queryName, QString());
            });
        }
    } catch (...) {
        ErrorHandleCurrent(mContext.services(), procedure::initialize, kModule);
    }
    setMousePointer(host::MousePointer::Default);
    return result;
}

bool frmEditor::LoadQuery(const QString& queryName, const QString& sql) {
    QString text;
    std::shared_ptr<host::Database> database = mContext.currentDatabase();
    if (queryName.isEmpty()) {
        text = sql;
        mQueryDataSource = std::make_unique<CV_QueryDataSource>();
        setCaption(kCaptionPrefix + QStringLiteral("New Query"));
    } else {
        text = sql.isEmpty() ? database->queryDef(queryName)->sql() : sql;
        mQueryDataSource = rQueryDataSourceFieldList(mContext, queryName, true, database.get());
        setCaption(kCaptionPrefix + queryName);
    }
    mLoadedSQL = text;
    mDeclinedSQL.reset();
    if (text.startsWith(QLatin1Char('\r'))) {
        text.remove(0, 1);
        if (text.startsWith(QLatin1Char('\n'))) {
            text.remove(0, 1);
        }
    }
    for (const char* key : {"Save", "Undo", "Redo"}) {
        setToolbarButtonEnabled(QString::fromLatin1(key), false);
    }
    setToolbarButtonEnabled(QStringLiteral("InsertItem"), mQueryDataSource != nullptr);

    // The find dialog's suggestions are read when it opens (EditorSearch).

    // The buffer goes before the colouriser it reads.
    mRTB.reset();
    mWatch.start(kWatchInterval);
    mSQLColorize = std::make_unique<CSQLColorize>(mContext.services());
    mSQLColorize->setOwner(this);
    mSQLColorize->setRtb(&mRtb);
    connect(mSQLColorize.get(), &CSQLColorize::Change, this, &frmEditor::mSQLColorize_Change);
    mSQLColorize->FullParse = true;
    mRtb.setText(text);

    mRTB = std::make_unique<CRichTextBox>(mContext);
    mRTB->setSelControlStart(mRtb.selStart());
    mRTB->Init(this);
    // After the buffer, so that a listener finds the change recorded.
    connect(&mRtb, &platform::RichTextControl::Change, mRTB.get(), [this] { rtbSQLEditor_Change(); });

    DeleteTemporaryQueries(mContext, database.get());
    return true;
}

void frmEditor::rtbSQLEditor_Change() {
    // Not for the colouriser's passes and not while loading; undo and redo count.
    if (TrapUndo()) {
        emit textChanged();
    }
}

void frmEditor::tmr_Timer() {
    if (mFirstTick) {
        mFirstTick = false;
        mRtb.setFocus();
        if (mQueryName.isEmpty() && mCompletion) {
            ErrorBoundary(mContext.services(), QStringLiteral("tmr_Timer"), kModule,
                          [this] { mCompletion->SelectFirstPlaceholder(*this, QString(), 0); });
        }
        // A key pressed before the first tick has armed the colouring pause: that still runs.
        if (!mSQLColorize || !mSQLColorize->NoRedraw) {
            mTmr.stop();
            return;
        }
    }
    mTmr.stop();
    if (mSQLColorize) {
        mSQLColorize->NoRedraw = false;
        mSQLColorize->FullParse = false;
        mSQLColorize->rtb_Change();
    }
}

void frmEditor::mSQLColorize_Change(bool deferred) {
    if (deferred) {
        mTmr.start(mColouringDelay);
    } else if (!mFirstTick) {
        mTmr.stop();
    }
}

// ---- Saving and opening ----

bool frmEditor::Save(bool saveAs) {
    try {
        const std::shared_ptr<host::Database> database = mContext.currentDatabase();
        if (!saveAs && !mQueryName.isEmpty()) {
            std::shared_ptr<host::QueryDef> query;
            try {
                query = database->queryDef(mQueryName);
            } catch (const host::Error& error) {
                if (error.number() != host::errItemNotFound) {
                    throw;
                }
            }
            if (query) {
                query->setSql(Text());
                Initialize(query->name(), QString());
                emit saved(mQueryName);
                return true;
            }
            // The saved query is gone: saving becomes Save As under its name.
            return SaveAs(*database, mQueryName);
        }
        if (!saveAs) {
            return SaveAs(*database, QString());
        }
        return SaveAs(*database, mQueryName.isEmpty() ? QString() : mQueryName + QLatin1Char('_'));
    } catch (const host::Error& error) {
        if (error.number() == host::errSyntaxInExpression || error.number() == host::errInvalidSqlStatement) {
            Ask(QStringLiteral("It is impossible to save the Query for the reason:") + kCrLf + kCrLf +
                    error.description(),
                platform::MsgButtons::Ok, platform::MsgIcon::None);
        } else {
            ErrorHandle(mContext.services(), error, 0, QString(), procedure::save, kModule);
        }
    } catch (...) {
        ErrorHandleCurrent(mContext.services(), procedure::save, kModule);
    }
    return false;
}

bool frmEditor::SaveAs(host::Database& database, const QString& offeredName) {
    const auto namingMessage = [this] {
        Ask(QStringLiteral("The query name you entered doesn't follow object-naming rules!"),
            platform::MsgButtons::Ok, platform::MsgIcon::Critical);
    };
    const QString sameName = QStringLiteral("You have given this query the same name as an existing %1.");
    platform::Prompter* prompter = mContext.services().prompter;
    QString offered = offeredName;
    for (;;) {
        const std::optional<QString> typed = prompter
                                                 ? prompter->inputBox(QStringLiteral("Save As Query name:"),
                                                                      QStringLiteral("Save As"), offered)
                                                 : std::nullopt;
        if (!typed) {
            return false;
        }
        const QString name = *typed;
        if (name.isEmpty()) {
            namingMessage();
            offered = name;
            continue;
        }
        if (IsTable(mContext, name, &database)) {
            Ask(substitute(sameName, QStringLiteral("%1"), QStringLiteral("table")) + kCrLf +
                    QStringLiteral("You can't give a table and a query the same name."),
                platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
            return false;
        }
        if (OpenInOtherEditor(name)) {
            // One window per saved query: the other window's text would be overwritten under it.
            Ask(substitute(QStringLiteral("The query '%1' is open in another SQL Editor window."),
                           QStringLiteral("%1"), name),
                platform::MsgButtons::Ok, platform::MsgIcon::Exclamation);
            offered = name;
            continue;
        }
        QString savedName = name;
        if (IsQuery(mContext, name, &database)) {
            const QString question =
                substitute(sameName, QStringLiteral("%1"), QStringLiteral("query")) + kCrLf +
                substitute(QStringLiteral("Do you want to replace the existing query '%1'?"),
                           QStringLiteral("%1"), name);
            if (Ask(question, platform::MsgButtons::YesNo, platform::MsgIcon::Exclamation, QString(), 2) !=
                platform::MsgResult::Yes) {
                offered = mQueryName.isEmpty() ? name : mQueryName + QLatin1Char('_');
                continue;
            }
            const auto query = database.queryDef(name);
            query->setSql(Text());
            savedName = query->name();
        } else {
            try {
                savedName = database.createQueryDef(name, Text())->name();
            } catch (const host::Error& error) {
                if (error.number() != host::errInvalidName) {
                    throw;
                }
                namingMessage();
                offered = name;
                continue;
            }
        }
        // The query is written; what follows only shows it.
        try {
            if (auto* application = mContext.application()) {
                application->doCmd().selectObject({host::ObjectType::Query, savedName}, true);
            }
        } catch (...) {
        }
        MoveRegistryEntry(savedName);
        try {
            database.refreshQueryDefs();
            if (auto* application = mContext.application()) {
                application->refreshDatabaseWindow();
            }
        } catch (...) {
        }
        Initialize(savedName, QString());
        emit saved(mQueryName);
        return true;
    }
}

bool frmEditor::OpenInOtherEditor(const QString& name) const {
    EditorWindows& editors = mContext.openEditors();
    if (!editors.contains(name)) {
        return false;
    }
    const auto self = mEntry.lock();
    return !self || editors.item(name) != self;
}

void frmEditor::MoveRegistryEntry(const QString& newName) {
    EditorWindows& editors = mContext.openEditors();
    const auto self = mEntry.lock();
    if (!mQueryName.isEmpty() && editors.contains(mQueryName) &&
        (!self || editors.item(mQueryName) == self)) {
        editors.remove(mQueryName);
    }
    if (self && !editors.contains(newName)) {
        editors.add(self, newName);
    }
}

void frmEditor::OpenQuery(host::View view) {
    // A new query has nothing saved to open until it is saved.
    if (IsDirty() || mQueryName.isEmpty()) {
        for (;;) {
            try {
                const auto answer =
                    Ask(QStringLiteral("Do you want to save changes?"), platform::MsgButtons::YesNoCancel,
                        platform::MsgIcon::Question, QStringLiteral("Query is changed"));
                if (answer == platform::MsgResult::Yes) {
                    if (!Save(false)) {
                        return;
                    }
                } else if (answer == platform::MsgResult::No && !mQueryName.isEmpty()) {
                    // Only the design view closes this window; a datasheet leaves it open with its text.
                    if (view == host::View::Design) {
                        NoSavePrompt = true;
                    }
                } else {
                    return;
                }
                break;
            } catch (const host::Error& error) {
                if (error.number() == host::errObjectClosed) {
                    continue;
                }
                ErrorHandle(mContext.services(), error, 0, QString(), procedure::openQuery, kModule);
                return;
            } catch (...) {
                ErrorHandleCurrent(mContext.services(), procedure::openQuery, kModule);
                return;
            }
        }
    }
    bool isOpen = false;
    try {
        isOpen = mContext.host().allQueries(mQueryName).isLoaded;
    } catch (...) {
        return;
    }
    try {
        host::Application& application = mContext.host();
        if (isOpen) {
            application.doCmd().close({host::ObjectType::Query, mQueryName}, host::SaveOption::No);
        }
        application.doCmd().openQuery(mQueryName, view, host::DataMode::Edit);
        if (view == host::View::Design) {
            mSurface.closeWindow();
        } else if (application.allQueries(mQueryName).isLoaded) {
            application.screen().activeDatasheetSetFocus();
        }
    } catch (const host::Error& error) {
        if (error.number() != host::errCancelled) {
            ErrorHandle(mContext.services(), error, 0, QString(), procedure::openQuery, kModule);
        }
    } catch (...) {
        ErrorHandleCurrent(mContext.services(), procedure::openQuery, kModule);
    }
}

// ---- Commands ----

void frmEditor::Undo() {
    if (mRTB) {
        mRTB->Undo();
    }
}

void frmEditor::Redo() {
    if (mRTB) {
        mRTB->Redo();
    }
}

void frmEditor::FindReplace(int mode) {
    if (mSearch) {
        mSearch->FindReplace(mode);
    }
}

void frmEditor::InsertItem() {
    ErrorBoundary(mContext.services(), QStringLiteral("InsertItem"), kModule, [&] {
        if (mFieldsWindow) {
            mFieldsWindow->SetFocus();
            return;
        }
        mFieldsWindow = mContext.windows().CreateFieldsDialog(mContext, *this);
        if (mFieldsWindow) {
            mFieldsWindow->Show();
        }
    });
}

void frmEditor::FieldsDialogClosed() {
    mFieldsWindow.reset();
}

void frmEditor::InsertTemplate() {
    ErrorBoundary(mContext.services(), procedure::insertTemplate, kModule, [&] {
        const auto picker = mContext.windows().CreateTemplatesWindow(mContext);
        if (!picker) {
            return;
        }
        picker->Init(1);
        picker->setNoContentInEditor(Text().trimmed().isEmpty());
        picker->ShowModal();
        if (picker->ButtonOk()) {
            QString content = picker->TemplateContent();
            QString marker;
            for (const char* candidate : {"{field}", "{field1}"}) {
                if (content.contains(QLatin1String(candidate), Qt::CaseInsensitive)) {
                    marker = QString::fromLatin1(candidate);
                    break;
                }
            }
            if (!marker.isEmpty() && mCompletion) {
                const QString field = mCompletion->GetSelectedField(*this);
                if (!field.isEmpty()) {
                    content = substitute(content, marker, field);
                }
            }
            const int position = mRtb.selStart();
            mRtb.setSelText(content);
            if (mCompletion) {
                mCompletion->SelectFirstPlaceholder(*this, content, position);
            }
        }
    });
}

void frmEditor::tbButtons_ButtonClick(const QString& key) {
    const auto is = [&key](const char* name) {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    if (is("Save")) {
        Save(mQueryName.isEmpty());
    } else if (is("SaveAs")) {
        Save(true);
    } else if (is("Undo")) {
        Undo();
    } else if (is("Redo")) {
        Redo();
    } else if (is("InsertItem")) {
        InsertItem();
    } else if (is("Find")) {
        FindReplace(0);
    } else if (is("Replace")) {
        FindReplace(1);
    } else if (is("Design")) {
        OpenQuery(host::View::Design);
    } else if (is("Open")) {
        OpenQuery(host::View::Normal);
    } else if (is("Template")) {
        InsertTemplate();
    }
}

void frmEditor::Form_KeyDown(int* keyCode, int shift) {
    if (!keyCode) {
        return;
    }
    if (shift & platform::vbCtrlMask) {
        // Passed on: the text box has no command of its own on these keys.
        if (*keyCode == keyF) {
            FindReplace(0);
        } else if (*keyCode == keyH) {
            FindReplace(1);
        }
        return;
    }
    if (!(shift & platform::vbAltMask)) {
        return;
    }
    for (const AltKey& alt : kAltKeys) {
        if (alt.keyCode != *keyCode) {
            continue;
        }
        *keyCode = 0;
        const QString button = QString::fromLatin1(alt.button);
        if (!toolbarButtonEnabled(button)) {
            return;
        }
        if (alt.keyCode == keyS) {
            Save(false);
        } else {
            tbButtons_ButtonClick(button);
        }
        return;
    }
}

// ---- The watch ----

void frmEditor::tmrGetActiveWindow_Timer() {
    if (mRefreshing || mUnloaded) {
        return;
    }
    const quintptr foreground = mSurface.foregroundWindow();
    if (foreground != mLastForeground) {
        const quintptr self = mSurface.windowHandle();
        quintptr hostWindow = 0;
        try {
            if (auto* application = mContext.application()) {
                hostWindow = application->hWndAccessApp();
            }
        } catch (...) {
        }
        if (foreground == self) {
            mRefreshing = true;
            RefreshEditor();
            mRefreshing = false;
        }
        if (foreground == self || (hostWindow != 0 && foreground == hostWindow)) {
            mLastForeground = foreground;
        }
    }
    if (mPendingEditor) {
        const auto pending = std::move(mPendingEditor);
        const QPoint corner = mSurface.screenTopLeft();
        pending->MoveTo(corner.x() + 20, corner.y() + 20);
        pending->Show();
    }
    if (mPendingTree) {
        const auto pending = std::move(mPendingTree);
        pending->Show();
    }
}

void frmEditor::RefreshEditor() {
    if (mQueryName.isEmpty()) {
        return;
    }
    try {
        const QString saved = mContext.currentDatabase()->queryDef(mQueryName)->sql();
        if (saved.compare(mLoadedSQL, Qt::CaseInsensitive) == 0) {
            mDeclinedSQL.reset();
            return;
        }
        // The user said No to this very change already.
        if (mDeclinedSQL && *mDeclinedSQL == saved) {
            return;
        }
        const QString question =
            substitute(
                QStringLiteral("The query '%1' opened in SQL Editor was changed outside of SQL Editor."),
                QStringLiteral("%1"), mQueryName) +
            kCrLf + QStringLiteral("Do you want to refresh the query's text in  SQL Editor?");
        if (Ask(question, platform::MsgButtons::YesNo, platform::MsgIcon::Question) ==
            platform::MsgResult::Yes) {
            Initialize(mQueryName, QString());
        } else {
            mDeclinedSQL = saved;
        }
    } catch (const host::Error& error) {
        // A query deleted outside the editor is reported once, not at every switch.
        if (mDeclinedSQL && mDeclinedSQL->isNull()) {
            return;
        }
        mDeclinedSQL = QString();
        ErrorHandle(mContext.services(), error, 0, QString(), procedure::refreshEditor, kModule);
    } catch (...) {
        ErrorHandleCurrent(mContext.services(), procedure::refreshEditor, kModule);
    }
}

// ---- Mouse, context menu, clipboard ----

void frmEditor::rtbSQLEditor_KeyUp(int* keyCode, int shift) {
    Q_UNUSED(shift)
    if (keyCode && *keyCode >= platform::vk::pageUp && *keyCode <= platform::vk::down && mCompletion) {
        try {
            mCompletion->ShowPlaceholderList(*this);
        } catch (...) {
        }
    }
}

void frmEditor::rtbSQLEditor_MouseUp(int button, int shift, int x, int y) {
    Q_UNUSED(shift)
    if (button == vbRightButton) {
        try {
            PrepareContextMenu(x, y);
            mSurface.showContextMenu(x, y);
        } catch (...) {
        }
    } else if (mCompletion) {
        try {
            mCompletion->ShowPlaceholderList(*this);
        } catch (...) {
        }
    }
}

void frmEditor::rtbSQLEditor_OLEDragDrop(const QString& data, int x, int y) {
    SetPosition(x, y);
    if (mCompletion && mCompletion->AddFields(*this, data)) {
        return;
    }
    // Text from another program or from this text goes in as it came, rather than a field the dialog
    // happened to have chosen.
    mRtb.setSelText(data);
}

void frmEditor::SetPosition(int x, int y) {
    const int index = mRtb.charFromPos(QPoint(x, y));
    const int start = mRtb.selStart();
    const int length = mRtb.selLength();
    // A click before the first character moves the caret too, so the menu acts on the word clicked.
    if (index >= 0 && !(start < index && index < start + length)) {
        mRtb.setSelStart(index);
    }
}

frmEditor::NameSpan frmEditor::NameAtCaret(const QString& text, int caret) {
    // 1-based positions, as the rule is stated; at(p) is the character at position p.
    const auto at = [&text](int position) { return text.at(position - 1); };
    const int length = int(text.size());
    caret = std::clamp(caret, 0, length);
    int start = 0;
    int end = 0;
    const auto scanBack = [&]() -> bool {
        for (int i = caret; i >= 1; --i) {
            const QChar c = at(i);
            if (c == QLatin1Char('.')) {
                return false;
            }
            if (c == QLatin1Char(' ') || c == QLatin1Char(',') || c == QLatin1Char('(') || c.unicode() < 32) {
                start = i + 1;
                return true;
            }
        }
        start = 1;
        return true;
    };
    if (caret == 0) {
        start = 1;
    } else {
        const QString before = text.left(caret);
        const int open = int(before.lastIndexOf(QLatin1Char('['))) + 1;
        const int close = int(before.lastIndexOf(QLatin1Char(']'))) + 1;
        if (open > 0 && close < open) {
            // Inside a bracketed name; the part after a full stop is not an object name.
            if (open > 1 && at(open - 1) == QLatin1Char('.')) {
                return {};
            }
            start = open + 1;
            const int nextClose = int(text.indexOf(QLatin1Char(']'), caret)) + 1;
            const int nextOpen = int(text.indexOf(QLatin1Char('['), caret)) + 1;
            if (nextClose > 0 && (nextOpen == 0 || nextOpen > nextClose)) {
                end = nextClose - 1;
            } else if (!scanBack()) {
                return {};
            }
        } else if (!scanBack()) {
            return {};
        }
    }
    if (end == 0) {
        end = length;
        for (int j = caret + 1; j <= length; ++j) {
            if (isNameEnd(at(j))) {
                end = j - 1;
                break;
            }
        }
    }
    if (end < start) {
        return {};
    }
    return {start - 1, end - start + 1};
}

void frmEditor::PrepareContextMenu(int x, int y) {
    SetPosition(x, y);
    QString name;
    NameSpan span;
    if (mRtb.selLength() == 0 && mRtb.selColor() == 0) {
        span = NameAtCaret(mRtb.text(), mRtb.selStart());
        if (span.start >= 0) {
            name = mRtb.text().mid(span.start, span.length);
        }
    } else if (mRtb.selLength() > 0 && mRtb.selColor() == 0) {
        name = mRtb.selText();
    }
    bool isQuery = false;
    bool isTable = false;
    if (!name.isEmpty()) {
        isQuery = IsQuery(mContext, name);
        isTable = !isQuery && IsTable(mContext, name);
    }
    if (isQuery || isTable) {
        mContextIsQuery = isQuery;
        if (span.start >= 0) {
            mRtb.setSelStart(span.start);
            mRtb.setSelLength(span.length);
        }
        mContextName = name;
    }
    const bool selection = mRtb.selLength() > 0;
    mMenu[QStringLiteral("mnuCut")].enabled = selection;
    mMenu[QStringLiteral("mnuCopy")].enabled = selection;
    mMenu[QStringLiteral("mnuPaste")].enabled = !mSurface.clipboardText().isEmpty();
    for (const char* item : kObjectItems) {
        mMenu[QString::fromLatin1(item)].visible = isQuery || isTable;
    }
    mMenu[QStringLiteral("mnuEdit")].enabled = isQuery;
    mMenu[QStringLiteral("mnuQorvel")].enabled = isQuery;
    mSurface.commandsChanged();
}

void frmEditor::OpenContextObject(host::View view) {
    try {
        host::Application& application = mContext.host();
        if (mContextIsQuery) {
            application.doCmd().openQuery(mContextName, view, host::DataMode::Edit);
        } else {
            application.doCmd().openTable(mContextName, view, host::DataMode::Edit);
        }
        if (view == host::View::Normal) {
            application.screen().activeDatasheetSetFocus();
        }
    } catch (...) {
    }
}

void frmEditor::mnuOpen_Click() {
    OpenContextObject(host::View::Normal);
}

void frmEditor::mnuDesign_Click() {
    OpenContextObject(host::View::Design);
}

void frmEditor::mnuEdit_Click() {
    if (!mContextIsQuery || mContextName.compare(mQueryName, Qt::CaseInsensitive) == 0) {
        return;
    }
    try {
        mPendingEditor = ShowQueryEditor(mContext, mContextName, true);
    } catch (...) {
    }
}

void frmEditor::ShowTree(int mode) {
    try {
        auto tree = mContext.windows().CreateTreeWindow(mContext);
        if (tree && tree->Initialize(mode, mContextName)) {
            mPendingTree = tree;
        }
    } catch (...) {
    }
}

void frmEditor::mnuQorvel_Click() {
    ShowTree(1);
}

void frmEditor::mnuUsedBy_Click() {
    ShowTree(2);
}

void frmEditor::mnuCopy_Click() {
    mSurface.setClipboardText(QString());
    mSurface.setClipboardText(mRtb.selText());
}

void frmEditor::mnuCut_Click() {
    mnuCopy_Click();
    mRtb.setSelText(QString());
}

void frmEditor::mnuPaste_Click() {
    mRtb.setSelText(mSurface.clipboardText());
}

// ---- Closing ----

bool frmEditor::QueryUnload() {
    if (mUnloaded) {
        return true;
    }
    try {
        if (IsDirty() && !NoSavePrompt) {
            const QString question =
                mQueryName.isEmpty()
                    ? QStringLiteral("Do you want to save new Query?")
                    : substitute(QStringLiteral("Do you want to save changes in '{QueryName}'?"),
                                 QStringLiteral("{QueryName}"), mQueryName);
            if (Ask(question, platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                    QStringLiteral("Query is changed")) == platform::MsgResult::Yes &&
                !Save(mQueryName.isEmpty())) {
                return false;
            }
        }
    } catch (...) {
        ErrorHandleCurrent(mContext.services(), procedure::formUnload, kModule);
    }
    return true;
}

void frmEditor::Unload() {
    if (mUnloaded) {
        return;
    }
    mUnloaded = true;
    mTmr.stop();
    mWatch.stop();
    try {
        mRTB.reset();
        mSQLColorize.reset();
        if (const auto fields = std::move(mFieldsWindow)) {
            fields->Unload();
        }
        mSearch.reset();
        mQueryDataSource.reset();
        mPendingEditor.reset();
        mPendingTree.reset();
        if (!mQueryName.isEmpty()) {
            EditorWindows& editors = mContext.openEditors();
            const auto self = mEntry.lock();
            if (!self || !editors.contains(mQueryName) || editors.item(mQueryName) == self) {
                QueryEditorClosed(mContext, mQueryName);
            }
        }
    } catch (...) {
        ErrorHandleCurrent(mContext.services(), procedure::formUnload, kModule);
    }
    emit closed();
}
