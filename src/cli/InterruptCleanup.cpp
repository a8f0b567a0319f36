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

}  // namespace cli
