// The operating system's shell: opening links and files, starting viewers.
#pragma once

#include <QString>
#include <QStringList>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // The shell's open operation on a link (mailto:, http:) or a file. Returns the shell's result code:
    // above 32 on success.
    virtual int open(const QString& target) = 0;
    // Starts a program detached (the text viewer or image viewer in place of Notepad and Paint).
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
};

}  // namespace platform
