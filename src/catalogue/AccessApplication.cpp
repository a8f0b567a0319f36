#include "catalogue/AccessApplication.h"

host::Application* AccessApplication = nullptr;
