// A shell that records what it was asked to open or start, with a result code chosen by the test.
#pragma once

#include "platform/Shell.h"

#include <vector>

namespace platform {

struct StartedProgram {
    QString program;
    QStringList arguments;
};

class InMemoryShell : public Shell {
public:
    // The code open() returns; 42 (success) unless set.
    void setResultCode(int code) { mResultCode = code; }
    // What startProgram() returns; true unless set.
    void setStartResult(bool started) { mStartResult = started; }

    int open(const QString& target) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;

    const QStringList& opened() const { return mOpened; }
    const std::vector<StartedProgram>& started() const { return mStarted; }

private:
    int mResultCode = 42;
    bool mStartResult = true;
    QStringList mOpened;
    std::vector<StartedProgram> mStarted;
};

}  // namespace platform
