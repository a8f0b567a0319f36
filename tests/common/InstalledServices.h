// The platform services and the host application installed for one test, and what was installed before
// put back when the guard goes, however the test ends (a failed assertion included).
#pragma once

#include "catalogue/AccessApplication.h"
#include "platform/Platform.h"

class InstalledServices {
public:
    explicit InstalledServices(const platform::Services& services, host::Application* application = nullptr)
        : mSavedServices(platform::services()), mSavedApplication(AccessApplication) {
        platform::services() = services;
        AccessApplication = application;
    }
    ~InstalledServices() {
        platform::services() = mSavedServices;
        AccessApplication = mSavedApplication;
    }
    InstalledServices(const InstalledServices&) = delete;
    InstalledServices& operator=(const InstalledServices&) = delete;

private:
    platform::Services mSavedServices;
    host::Application* mSavedApplication;
};
