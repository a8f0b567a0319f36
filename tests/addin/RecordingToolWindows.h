// A window factory that records, in one log, every window the add-in created and every call it made on
// one. Results of Initialize and mfValidDataSource are set by the test.
#pragma once

#include "catalogue/ToolWindows.h"

#include <QStringList>

#include <memory>
#include <vector>

class RecordingToolWindows : public ToolWindows {
public:
    QStringList log;
    bool treeInitializeResult = true;
    bool editorInitializeResult = true;
    bool validDataSource = true;
    bool createWatcher = true;
    bool offersTools = true;  // false: every Create gives nullptr
    std::vector<std::shared_ptr<QueryEditorWindow>> editors;

    class Tree : public QorvelTreeWindow {
    public:
        explicit Tree(RecordingToolWindows& owner) : mOwner(owner) {}
        bool Initialize(int mode, const QString& objectName) override {
            mOwner.log.append(QStringLiteral("tree Initialize %1%2").arg(mode).arg(objectName));
            return mOwner.treeInitializeResult;
        }
        void Show() override { mOwner.log.append(QStringLiteral("tree Show")); }

    private:
        RecordingToolWindows& mOwner;
    };

    class Editor : public QueryEditorWindow {
    public:
        Editor(RecordingToolWindows& owner, int number) : mOwner(owner), mNumber(number) {}
        bool Initialize(const QString& queryName, const QString& sql) override {
            mOwner.log.append(QStringLiteral("editor%1 Initialize %2|%3").arg(mNumber).arg(queryName, sql));
            return mOwner.editorInitializeResult;
        }
        void Show() override { mOwner.log.append(QStringLiteral("editor%1 Show").arg(mNumber)); }
        void Unload() override { mOwner.log.append(QStringLiteral("editor%1 Unload").arg(mNumber)); }

    private:
        RecordingToolWindows& mOwner;
        int mNumber;
    };

    class Find : public FindDialogWindow {
    public:
        explicit Find(RecordingToolWindows& owner) : mOwner(owner) {}
        void PrepareTreeFind(int qorvelMode) override {
            mOwner.log.append(QStringLiteral("find PrepareTreeFind %1").arg(qorvelMode));
        }
        bool mfValidDataSource() override {
            mOwner.log.append(QStringLiteral("find mfValidDataSource"));
            return mOwner.validDataSource;
        }
        void Show() override { mOwner.log.append(QStringLiteral("find Show")); }
        void Unload() override { mOwner.log.append(QStringLiteral("find Unload")); }

    private:
        RecordingToolWindows& mOwner;
    };

    class Templates : public TemplatesWindow {
    public:
        explicit Templates(RecordingToolWindows& owner) : mOwner(owner) {}
        void Init(int mode) override { mOwner.log.append(QStringLiteral("templates Init %1").arg(mode)); }
        void ShowModal() override { mOwner.log.append(QStringLiteral("templates ShowModal")); }

    private:
        RecordingToolWindows& mOwner;
    };

    class Watcher : public WatcherWindow {
    public:
        explicit Watcher(RecordingToolWindows& owner) : mOwner(owner) {}
        void SetAccessConnect(AccessConnect* connect) override {
            mOwner.log.append(QStringLiteral("watcher SetAccessConnect %1").arg(connect ? "set" : "nothing"));
        }
        void SetInterval(int milliseconds) override {
            mOwner.log.append(QStringLiteral("watcher SetInterval %1").arg(milliseconds));
        }
        void Unload() override { mOwner.log.append(QStringLiteral("watcher Unload")); }

    private:
        RecordingToolWindows& mOwner;
    };

    std::shared_ptr<QorvelTreeWindow> CreateTreeWindow(AddinContext&) override {
        return offersTools ? std::make_shared<Tree>(*this) : nullptr;
    }
    std::shared_ptr<QueryEditorWindow> CreateEditorWindow(AddinContext&) override {
        if (!offersTools) {
            return nullptr;
        }
        editors.push_back(std::make_shared<Editor>(*this, static_cast<int>(editors.size()) + 1));
        return editors.back();
    }
    std::shared_ptr<FindDialogWindow> CreateFindDialog(AddinContext&) override {
        return offersTools ? std::make_shared<Find>(*this) : nullptr;
    }
    std::shared_ptr<TemplatesWindow> CreateTemplatesWindow(AddinContext&) override {
        return offersTools ? std::make_shared<Templates>(*this) : nullptr;
    }
    std::shared_ptr<WatcherWindow> CreateWatcherWindow(AddinContext&) override {
        return createWatcher ? std::make_shared<Watcher>(*this) : nullptr;
    }
    void ShowAbout(AddinContext&) override { log.append(QStringLiteral("about")); }
    void OpenHelpContents(AddinContext&, const QString& helpFilePath) override {
        log.append(QStringLiteral("help %1").arg(helpFilePath.section(u'/', -1)));
    }
};
