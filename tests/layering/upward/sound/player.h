// Wave playback reaching up into the console: what the check must refuse.
#pragma once
#include "console/console.h"
