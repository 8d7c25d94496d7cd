// framework.cpp: bbInitFramework, the start-up values of every area of the
// framework (state, image bank, text, sound, controls, world, particles,
// profile and scoreboards).
#include "framework/framework.h"

void bbInitFramework() {
    bbInitZoltState();
    bbInitZoltDraw();
    bbInitZoltText();
    bbInitZoltSound();
    bbInitZoltControls();
    bbInitZoltWorld();
    bbInitZoltParticles();
    bbInitZoltProfile();
    bbInitZoltScoreboard();
}
