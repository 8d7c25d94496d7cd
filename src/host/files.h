// files.h: data paths and the state file's write seam.
//
// Asset names become data paths with bb_data_FixDataPath ("512/gfx.png" ->
// "tarvik://data/512/gfx.png"); the host maps data paths to the "data" folder
// next to the executable (BBGlfwGame::PathToFilePath) and opens them
// (BBGame::OpenFile). The state file "./.tarvikstate" is written whole and
// replaced atomically by BBGame::SaveState; tests can make its writes fail
// through StateFileOps.
#pragma once

#include <sys/types.h>

#include "host/text.h"

constexpr const char* kStateFileName = "./.tarvikstate";

String bb_data_FixDataPath(const String& path);

// The system calls SaveState makes; a test replaces them to inject failures.
struct StateFileOps {
    ssize_t (*write)(int fd, const void* data, size_t length);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};

const StateFileOps& bbStateFileOps();
void bbSetStateFileOps(const StateFileOps& ops);
void bbResetStateFileOps();
