// art.h: the generator's pictures, sounds and tune, one function per file group.
//
// Each Make* function builds its files into the output folders and records
// every picture in the Catalogue, from which the contact sheet is drawn.
// Depends on canvas.h (drawing), type.h (text) and nothing of the game.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"
#include "type.h"

namespace gen {

// Where the files go and what they are made with.
struct Context {
    std::string dataDir;   // .../data
    std::string buildDir;  // the contact sheet goes here
    TypeFace sans;         // the bold text face, also cut into the game font
};

// One picture as the game cuts it, for the contact sheet.
struct Entry {
    std::string file;  // path below the data folder
    Canvas image;
    int frameW, frameH, count;
};

using Catalogue = std::vector<Entry>;

// Writes `sheet` to dataDir/file and records it; false on a write failure.
bool Publish(const Context& ctx, Catalogue& cat, const std::string& file, const Sheet& sheet);

// The advance of a character code in font pixels, as the game's text layout uses it.
int FontAdvance(int code);

bool MakeFont(const Context& ctx, Catalogue& cat);       // common/bandwidth.png
bool MakeSprites(const Context& ctx, Catalogue& cat);    // 512/gfx.png
bool MakeFramework(const Context& ctx, Catalogue& cat);  // the other common/ pictures
bool MakeMenu(const Context& ctx, Catalogue& cat);       // 512/logo.png, 512/menu.png
bool MakeSounds(const Context& ctx);                     // the .wav effects
bool MakeMusic(const Context& ctx);                      // 512/sfx/Keeping.ogg
bool MakeContactSheet(const Context& ctx, const Catalogue& cat);

}  // namespace gen
