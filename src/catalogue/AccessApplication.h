// The one reference to the host's application object: set when the add-in connects, cleared when it
// disconnects. Every host call of the add-in goes through it.
#pragma once

#include "catalogue/host.h"

// Not owned: the host owns its application object.
extern host::Application* AccessApplication;
