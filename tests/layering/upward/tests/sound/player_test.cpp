// A test of wave playback: its own unit and the shared fixtures are allowed;
// another unit's test folder and a fixture named without its path are not.
#include "played_sound.h"
#include "sound/player.h"
#include "tests/console/console_fixture.h"
#include "tests/support/fixture.h"
