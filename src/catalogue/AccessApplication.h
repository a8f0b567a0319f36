// The one reference to the host's application object: set when the add-in connects, cleared when it
// disconnects. Every host call of the add-in goes through it.
#pragma once

#include "hostapi/host.h"

#include <memory>

// Not owned: the host owns its application object.
extern host::Application* AccessApplication;

// What the host's object model raises when an object it needs is not set.
inline constexpr int errObjectNotSet = 91;
[[noreturn]] void RaiseObjectNotSet();

// The host's application object; error 91 while the add-in is not connected.
host::Application& Host();
// The host's open database; error 91 when there is none.
std::shared_ptr<host::Database> CurrentDatabase();
