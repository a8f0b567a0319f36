#include "cli/InterruptCleanup.h"

#include <QFile>

#include <csignal>
#include <string>
#include <vector>

#include <unistd.h>

namespace cli {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Encoded before any handler is installed: the handler only reads them.
std::vector<std::string> gPaths;
struct sigaction gPrevious[std::size(kSignals)];

extern "C" void removeAndDie(int signal) {
    for (const std::string& path : gPaths) {
        ::unlink(path.c_str());
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

FilesRemovedOnInterrupt::FilesRemovedOnInterrupt(const QStringList& paths) {
    for (const QString& path : paths) {
        gPaths.push_back(QFile::encodeName(path).toStdString());
    }
    struct sigaction action = {};
    action.sa_handler = removeAndDie;
    sigfillset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &action, &gPrevious[i]);
    }
}

FilesRemovedOnInterrupt::~FilesRemovedOnInterrupt() {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &gPrevious[i], nullptr);
    }
    gPaths.clear();
}

std::shared_ptr<void> removeOnInterrupt(const QStringList& paths) {
    return std::make_shared<FilesRemovedOnInterrupt>(paths);
}

namespace {

volatile std::sig_atomic_t gHeard = 0;
struct sigaction gDeferredPrevious[std::size(kSignals)];

extern "C" void remember(int signal) {
    gHeard = signal;
}

}  // namespace

DeferredInterrupt::DeferredInterrupt() {
    gHeard = 0;
    struct sigaction action = {};
    action.sa_handler = remember;
    action.sa_flags = SA_RESTART;
    sigfillset(&action.sa_mask);
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &action, &gDeferredPrevious[i]);
    }
}

DeferredInterrupt::~DeferredInterrupt() {
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &gDeferredPrevious[i], nullptr);
    }
}

int DeferredInterrupt::heard() {
    return gHeard;
}

}  // namespace cli
