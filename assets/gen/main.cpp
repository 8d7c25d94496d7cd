// main.cpp: the data-folder generator's entry point.
//
// Usage: quorvane_assetgen <data folder> <build folder> <bold face.ttf>
// Writes every picture, sound and the tune into <data folder>/512 and
// <data folder>/common, then the contact sheet into <build folder>. Exits
// non-zero when any file cannot be made. Depends on art.h.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "art.h"

namespace gen {

namespace {

bool MakeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace

bool Publish(const Context& ctx, Catalogue& cat, const std::string& file, const Sheet& sheet) {
    if (!sheet.Image().SavePng(ctx.dataDir + "/" + file)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return false;
    }
    cat.push_back({file, sheet.Image(), sheet.FrameW(), sheet.FrameH(), sheet.Count()});
    return true;
}

}  // namespace gen

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DATA BUILD BOLD.ttf\n", argv[0]);
        return 2;
    }
    gen::Context ctx;
    ctx.dataDir = argv[1];
    ctx.buildDir = argv[2];
    if (!ctx.sans.Load(argv[3])) {
        std::fprintf(stderr, "cannot load the font\n");
        return 1;
    }
    for (const char* sub : {"", "/512", "/512/sfx", "/common"}) {
        if (!gen::MakeFolder(ctx.dataDir + sub)) {
            std::fprintf(stderr, "cannot create %s%s\n", argv[1], sub);
            return 1;
        }
    }
    gen::Catalogue cat;
    bool ok = gen::MakeFont(ctx, cat) && gen::MakeSprites(ctx, cat) &&
              gen::MakeFramework(ctx, cat) && gen::MakeMenu(ctx, cat) && gen::MakeSounds(ctx) &&
              gen::MakeMusic(ctx) && gen::MakeContactSheet(ctx, cat);
    return ok ? 0 : 1;
}
