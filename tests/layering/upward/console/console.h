// The console may use wave playback: below it, so allowed.
#pragma once
#include "sound/player.h"
