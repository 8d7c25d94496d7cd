// scramble.h: the keyed text scrambling of score submissions.
//
// One implementation, shared by the game (which scrambles its payload) and
// the score server (which unscrambles it): both link the small qv_scramble
// library built from scramble.cpp alone. The 64-entry table comes from a
// keyword and the game number; scrambled text stays within codes 32..123.
#pragma once

#include <array>
#include <cstdint>

#include "host/text.h"

constexpr int kScrambleTableSize = 64;
constexpr int kScrambleRange = 92;  // scrambled characters are 32 + 0..91

using ScrambleTable = std::array<int32_t, kScrambleTableSize>;

// Entry i = (code of keyword[i mod length] + i + gameNumber) rem 92. Returns
// false, leaving `table` as it was, for an empty keyword or a game number <= 0.
bool bbMakeScrambleTable(const String& keyword, int32_t gameNumber, ScrambleTable& table);

// Scrambles `text`: characters outside 32..123 scramble as a space.
String bbScrambleText(const ScrambleTable& table, const String& text);

// The inverse of bbScrambleText for text whose characters were all in 32..123.
String bbUnscrambleText(const ScrambleTable& table, const String& scrambled);
