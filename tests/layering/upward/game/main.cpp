// The entry point builds the daemon's display: the one file allowed to.
#include "platform/brlapi/display.h"
