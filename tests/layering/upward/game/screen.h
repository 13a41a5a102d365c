// A game header that names the daemon's display instead of the interface.
#pragma once
#include "platform/brlapi/display.h"
