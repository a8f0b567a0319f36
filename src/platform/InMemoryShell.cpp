#include "platform/InMemoryShell.h"

namespace platform {

int InMemoryShell::open(const QString& target) {
    mOpened.append(target);
    return mResultCode;
}

bool InMemoryShell::startProgram(const QString& program, const QStringList& arguments) {
    mStarted.push_back(StartedProgram{program, arguments});
    return mStartResult;
}

}  // namespace platform
