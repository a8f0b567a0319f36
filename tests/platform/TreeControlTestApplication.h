// The Qt implementations need an application object; the in-memory ones do not mind one.
#pragma once

#include <QApplication>

inline void ensureTreesTestApplication() {
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_platform";
        static char* argv[] = {name, nullptr};
        static QApplication application(argc, argv);
    }
}

#include <QObject>

// Counts the emissions of one signal (QSignalSpy without the test module).
struct EmissionCount {
    template <typename Sender, typename Signal>
    EmissionCount(Sender* sender, Signal signal) {
        QObject::connect(sender, signal, sender, [this](auto...) { ++value; });
    }
    int count() const { return value; }
    int value = 0;
};
