// The platform services the add-in uses, installed once by the program that loads it (the desktop host
// installs the Qt ones, the command-line tool and the tests the in-memory ones).
#pragma once

namespace platform {

class Prompter;
class Shell;
class SettingsStore;
class EventPump;

struct Services {
    Prompter* prompter = nullptr;
    Shell* shell = nullptr;
    SettingsStore* settings = nullptr;
    EventPump* events = nullptr;
};

// The installed services; every pointer is set by the loading program before the add-in connects.
Services& services();

}  // namespace platform
