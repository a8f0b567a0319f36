// One QApplication for every Qt test of a program, made before the first widget and destroyed after the
// last test. Including this header registers it once per program.
#pragma once

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        static int argc = 1;
        static char name[] = "qorvel_test";
        static char* argv[] = {name, nullptr};
        mApplication = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { mApplication.reset(); }

private:
    std::unique_ptr<QApplication> mApplication;
};

[[maybe_unused]] inline const auto* const qtApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
