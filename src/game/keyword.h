// keyword.h: the game number and the scrambling keyword of score submissions.
//
// The one place both the game and the score server take them from: the
// server unscrambles with exactly these values.
#pragma once

constexpr int kQuorvaneGameNumber = 512;
constexpr char16_t kQuorvaneKeyword[] =
    u"Catch the kind letters and shoot the junk before the inbox fills up tonight.";
static_assert(sizeof(kQuorvaneKeyword) / sizeof(char16_t) - 1 == 76);
