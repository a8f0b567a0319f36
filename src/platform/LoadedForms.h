// The add-in's loaded windows, in the order they were loaded: what the host platform's forms collection
// gives. A window joins the registry it was given when it loads and leaves it when it unloads; the error path
// finds the progress windows here to take them out of the top-most band while a message is up, and closing
// the database unloads every window but the watcher. One registry belongs to one connection of the add-in.
#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace platform {

class LoadedForms;

class LoadedForm {
public:
    LoadedForm() = default;
    LoadedForm(const LoadedForm&) = delete;
    LoadedForm& operator=(const LoadedForm&) = delete;
    // Leaves its registry.
    virtual ~LoadedForm();

    // The form's class name, such as "frmProgressbar" or "frmEditor".
    virtual QString formName() const = 0;
    // The window handle, 0 when the form has no window of its own.
    virtual quintptr windowHandle() const { return 0; }
    // Puts the window into the top-most band (and shows it) or takes it out, without moving or sizing it.
    virtual void setTopMost(bool on) { Q_UNUSED(on) }
    // Closes the window; the form leaves its registry while doing so.
    virtual void unload() = 0;

    // The registry the form joins when it loads; a form without one is never listed. The form does not
    // keep the registry alive.
    void setLoadedForms(const std::shared_ptr<LoadedForms>& forms);

protected:
    void markLoaded();
    void markUnloaded();

private:
    std::weak_ptr<LoadedForms> mForms;
};

class LoadedForms {
public:
    void add(LoadedForm* form);
    void remove(LoadedForm* form);
    bool contains(const LoadedForm* form) const;
    // A snapshot: forms may unload while the caller walks it, so check contains before touching one.
    std::vector<LoadedForm*> forms() const { return mForms; }

private:
    std::vector<LoadedForm*> mForms;
};

}  // namespace platform
