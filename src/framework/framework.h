// framework.h: the game framework in one include, and its start-up values.
//
// bbInitFramework() gives every framework global its initial value; the
// program's bbInit() calls it once at start-up, and tests call it to start
// clean. See each header for its area.
#pragma once

#include "framework/controls.h"
#include "framework/draw.h"
#include "framework/particles.h"
#include "framework/profile.h"
#include "framework/scoreboard.h"
#include "framework/sound.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/world.h"

void bbInitFramework();
