// The add-in's loaded windows, in the order they were loaded: what the host platform's forms collection
// gives. A window registers itself when it loads and unregisters when it unloads; the error path finds
// the progress windows here to take them out of the top-most band while a message is up, and closing the
// database unloads every window but the watcher.
#pragma once

#include <QString>
#include <QtGlobal>

#include <vector>

namespace platform {

class LoadedForm {
public:
    virtual ~LoadedForm() = default;
    // The form's class name, such as "frmProgressbar" or "frmEditor".
    virtual QString formName() const = 0;
    // The window handle, 0 when the form has no window of its own.
    virtual quintptr windowHandle() const { return 0; }
    // Puts the window into the top-most band (and shows it) or takes it out, without moving or sizing it.
    virtual void setTopMost(bool on) { Q_UNUSED(on) }
    // Closes the window; the form unregisters itself while doing so.
    virtual void unload() = 0;
};

void registerForm(LoadedForm* form);
void unregisterForm(LoadedForm* form);
bool isFormLoaded(const LoadedForm* form);
// A snapshot: forms may unload while the caller walks it, so check isFormLoaded before touching one.
std::vector<LoadedForm*> loadedForms();

}  // namespace platform
