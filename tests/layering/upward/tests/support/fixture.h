// A shared fixture: any test may include it.
#pragma once
#include "platform/platform.h"
