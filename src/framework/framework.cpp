// framework.cpp: bbInitFramework, the start-up values of every area of the
// framework core (state, image bank, text, sound, controls, world, particles).
#include "framework/framework.h"

void bbInitFramework() {
    bbInitZoltState();
    bbInitZoltDraw();
    bbInitZoltText();
    bbInitZoltSound();
    bbInitZoltControls();
    bbInitZoltWorld();
    bbInitZoltParticles();
}
