#include "platform/LoadedForms.h"

#include <algorithm>

namespace platform {

namespace {

std::vector<LoadedForm*>& registry() {
    static std::vector<LoadedForm*> forms;
    return forms;
}

}  // namespace

void registerForm(LoadedForm* form) {
    if (form && !isFormLoaded(form)) {
        registry().push_back(form);
    }
}

void unregisterForm(LoadedForm* form) {
    std::erase(registry(), form);
}

bool isFormLoaded(const LoadedForm* form) {
    const auto& forms = registry();
    return std::find(forms.begin(), forms.end(), form) != forms.end();
}

std::vector<LoadedForm*> loadedForms() {
    return registry();
}

}  // namespace platform
