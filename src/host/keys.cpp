// keys.cpp: translation of GLFW key codes into game key codes and characters.
//
// Owns BBGlfwGame::TransKey and BBGlfwGame::KeyToChar. Game keys use the usual
// PC virtual-key numbers; keys without one translate to 0 and are ignored.
#include <GLFW/glfw3.h>

#include "host/host.h"

namespace {

constexpr int kEditingCharBase = 0x10000;  // navigation keys as private characters

struct KeyPair {
    int glfw;
    int game;
};

constexpr KeyPair kTranslated[] = {
    {GLFW_KEY_SPACE, 32},
    {GLFW_KEY_APOSTROPHE, 222},
    {GLFW_KEY_COMMA, 188},
    {GLFW_KEY_MINUS, 189},
    {GLFW_KEY_PERIOD, 190},
    {GLFW_KEY_SLASH, 191},
    {GLFW_KEY_SEMICOLON, 186},
    {GLFW_KEY_EQUAL, 187},
    {GLFW_KEY_LEFT_BRACKET, 219},
    {GLFW_KEY_BACKSLASH, 220},
    {GLFW_KEY_RIGHT_BRACKET, 221},
    {GLFW_KEY_GRAVE_ACCENT, 192},
    {GLFW_KEY_ESCAPE, 27},
    {GLFW_KEY_ENTER, 13},
    {GLFW_KEY_TAB, 9},
    {GLFW_KEY_BACKSPACE, 8},
    {GLFW_KEY_INSERT, 45},
    {GLFW_KEY_DELETE, 46},
    {GLFW_KEY_RIGHT, 39},
    {GLFW_KEY_LEFT, 37},
    {GLFW_KEY_DOWN, 40},
    {GLFW_KEY_UP, 38},
    {GLFW_KEY_PAGE_UP, 33},
    {GLFW_KEY_PAGE_DOWN, 34},
    {GLFW_KEY_HOME, 36},
    {GLFW_KEY_END, 35},
    {GLFW_KEY_KP_DECIMAL, 110},
    {GLFW_KEY_KP_DIVIDE, 111},
    {GLFW_KEY_KP_MULTIPLY, 106},
    {GLFW_KEY_KP_SUBTRACT, 109},
    {GLFW_KEY_KP_ADD, 107},
    {GLFW_KEY_LEFT_SHIFT, 16},
    {GLFW_KEY_RIGHT_SHIFT, 16},
    {GLFW_KEY_LEFT_CONTROL, 17},
    {GLFW_KEY_RIGHT_CONTROL, 17},
};

}  // namespace

int BBGlfwGame::TransKey(int key) {
    if ((key >= GLFW_KEY_0 && key <= GLFW_KEY_9) || (key >= GLFW_KEY_A && key <= GLFW_KEY_Z))
        return key;
    if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F12) return 112 + (key - GLFW_KEY_F1);
    if (key >= GLFW_KEY_KP_0 && key <= GLFW_KEY_KP_9) return 96 + (key - GLFW_KEY_KP_0);
    for (const KeyPair& pair : kTranslated)
        if (pair.glfw == key) return pair.game;
    return 0;
}

int BBGlfwGame::KeyToChar(int key) {
    switch (key) {
        case 8:
        case 9:
        case 13:
        case 27:
            return key;
        case 46:
            return 127;
        default:
            if ((key >= 33 && key <= 40) || key == 45) return key + kEditingCharBase;
            return 0;
    }
}
