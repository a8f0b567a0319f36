// An editor's text box with its colouriser on a real engine database, the pop-up windows answered from a
// script, and the template window given by a test: what completion works with in an editor window.
#pragma once

#include "../catalogue/TestDatabase.h"

#include "catalogue/ToolWindows.h"
#include "common/QStringPrinter.h"
#include "completion/CompletionLists.h"
#include "datasources/mQueryDataSourceList.h"
#include "editor/HeadlessEditor.h"
#include "platform/InMemoryRichTextControl.h"
#include "platform/InMemoryTimer.h"

#include <deque>

// Answers the lists and inputs in turn and records what they offered.
class ScriptedPopUps : public PopUpWindows {
public:
    QString ShowList(const QStringList& rows) override {
        lists.push_back(rows);
        if (listAnswers.empty()) {
            return QString();
        }
        const QString answer = listAnswers.front();
        listAnswers.pop_front();
        return answer;
    }
    std::optional<QString> InputText(bool numbersOnly) override {
        inputs.push_back(numbersOnly);
        if (inputAnswers.empty()) {
            return std::nullopt;
        }
        const auto answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer;
    }
    std::deque<QString> listAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::vector<QStringList> lists;
    std::vector<bool> inputs;
};

// The template window in insert mode, answered by the test.
class ScriptedTemplates : public TemplatesWindow {
public:
    void Init(int mode) override { this->mode = mode; }
    void ShowModal() override { shown = true; }
    void setNoContentInEditor(bool empty) override { noContent = empty; }
    bool ButtonOk() const override { return ok; }
    QString TemplateContent() const override { return content; }
    int mode = 0;
    bool shown = false;
    bool noContent = false;
    bool ok = true;
    QString content;
};

// An editor window that records what it was given.
class RecordingEditor : public QueryEditorWindow {
public:
    explicit RecordingEditor(QStringList& log) : mLog(log) {}
    bool Initialize(const QString& queryName, const QString& sql) override {
        mLog << QStringLiteral("initialize '%1' %2").arg(queryName, sql);
        return true;
    }
    void Show() override { mLog << QStringLiteral("show"); }
    void Unload() override {}

private:
    QStringList& mLog;
};

class ScriptedToolWindows : public ToolWindows {
public:
    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext&) override { return nullptr; }
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext&) override {
        return std::make_shared<RecordingEditor>(editorLog);
    }
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext&) override { return nullptr; }
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext&) override { return templates; }
    void ShowAbout(AddinContext&) override {}
    void OpenHelpContents(AddinContext&, const QString&) override {}
    std::shared_ptr<ScriptedTemplates> templates = std::make_shared<ScriptedTemplates>();
    QStringList editorLog;
};

class CompletionTest : public EngineTest, public CompletionOwner {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::Services services;
        services.prompter = &prompter;
        mContext = std::make_unique<AddinContext>(application.get(), services, &windows);
        editor = std::make_unique<HeadlessEditor>(context(), control, timer);
        lists = std::make_unique<CompletionLists>(context(), *this);
    }
    void TearDown() override {
        lists.reset();
        editor.reset();
    }

    // Loads and colours the text, the caret at the position.
    void load(const QString& text, int caret = 0) {
        editor->Initialize(text);
        timer.fire();
        control.setSelStart(caret);
    }
    // The data sources of a saved query, as the editor builds them when it opens it.
    void sourcesOf(const QString& queryName) { dataSource = rQueryDataSourceFieldList(context(), queryName); }

    platform::RichTextControl* rtbSQLEditor() const override { return &control; }
    std::unique_ptr<CV_QueryDataSource>& queryDataSource() override { return dataSource; }
    CSQLColorize* colorizer() const override { return editor->colorizer(); }
    PopUpWindows& popUps() override { return popups; }

    mutable platform::InMemoryRichTextControl control;
    platform::InMemoryTimer timer;
    ScriptedToolWindows windows;
    ScriptedPopUps popups;
    std::unique_ptr<CV_QueryDataSource> dataSource;
    std::unique_ptr<HeadlessEditor> editor;
    std::unique_ptr<CompletionLists> lists;
};
