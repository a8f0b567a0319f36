// The platform services the add-in uses, given to it by the program that loads it (the desktop host gives
// the Qt ones, the command-line tool and the tests the in-memory ones). A service the program does not offer
// is nullptr, and what would use it does nothing.
#pragma once

#include <memory>

namespace platform {

class Prompter;
class Shell;
class SettingsStore;
class EventPump;
class HostWindows;
class LoadedForms;
class Clipboard;
class HelpViewer;

struct Services {
    Prompter* prompter = nullptr;
    Shell* shell = nullptr;
    SettingsStore* settings = nullptr;
    EventPump* events = nullptr;
    HostWindows* hostWindows = nullptr;
    Clipboard* clipboard = nullptr;
    // Shows the add-in's help pages.
    HelpViewer* help = nullptr;
    // The add-in's loaded windows; shared with the windows that join it.
    std::shared_ptr<LoadedForms> forms;
};

}  // namespace platform
