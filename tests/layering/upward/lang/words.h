// The language library reaching into the platform: what the check must refuse.
#pragma once
#include "platform/platform.h"
