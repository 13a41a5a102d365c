// A fixture of the console's tests, for them alone.
#pragma once
#include "console/console.h"
