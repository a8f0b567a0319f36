// A connected add-in over the fake host, with scripted prompts and a recording window factory.
#pragma once

#include "FakeHost.h"
#include "QStringPrinter.h"
#include "RecordingToolWindows.h"

#include "addin/AccessConnect.h"
#include "catalogue/AccessApplication.h"
#include "catalogue/mMainWindows.h"
#include "platform/InMemoryPrompter.h"
#include "platform/InMemoryShell.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

class AddinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::services().prompter = &prompter;
        platform::services().shell = &shell;
        setToolWindows(&windows);
    }

    void TearDown() override {
        connect.AddinInstance_OnDisconnection();
        OpenEditors.reset();
        setToolWindows(nullptr);
        platform::services().prompter = nullptr;
        platform::services().shell = nullptr;
    }

    void Connect(const QString& version = QStringLiteral("12.0")) {
        host.version = version;
        connect.AddinInstance_OnConnection(&host);
        windows.log.clear();
    }

    void Click(const QString& id) { connect.RunQorvel(IRibbonControl{id}); }

    // The texts of the messages shown so far.
    QStringList MessageTexts() const {
        QStringList texts;
        for (const auto& message : prompter.messages()) {
            texts.append(message.text);
        }
        return texts;
    }

    FakeHost host;
    RecordingToolWindows windows;
    platform::InMemoryPrompter prompter;
    platform::InMemoryShell shell;
    AccessConnect connect;
};
