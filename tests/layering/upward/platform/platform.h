// An interface that names one of its implementations.
#pragma once
#include "platform/sdl/window.h"
