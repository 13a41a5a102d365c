// A test of the platform reaching up into the console: refused.
#include "console/console.h"
#include "platform/platform.h"
