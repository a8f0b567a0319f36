#include "platform/LoadedForms.h"

#include <algorithm>

namespace platform {

LoadedForm::~LoadedForm() {
    markUnloaded();
}

void LoadedForm::setLoadedForms(const std::shared_ptr<LoadedForms>& forms) {
    mForms = forms;
}

void LoadedForm::markLoaded() {
    if (const auto forms = mForms.lock()) {
        forms->add(this);
    }
}

void LoadedForm::markUnloaded() {
    if (const auto forms = mForms.lock()) {
        forms->remove(this);
    }
}

void LoadedForms::add(LoadedForm* form) {
    if (form && !contains(form)) {
        mForms.push_back(form);
    }
}

void LoadedForms::remove(LoadedForm* form) {
    std::erase(mForms, form);
}

bool LoadedForms::contains(const LoadedForm* form) const {
    return std::find(mForms.begin(), mForms.end(), form) != mForms.end();
}

}  // namespace platform
