// main.cpp: the process entry of the game.
#include "host/host.h"

int main(int argc, char** argv) {
    BBTarvikGame::Main(argc, argv);
    return 0;
}
