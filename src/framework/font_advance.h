// font_advance.h: how far the bitmap font's pen moves after each character.
//
// Header-only and free of dependencies, so the text layout, the asset
// generator that draws the glyphs to fit it, and the font tests all read the
// one table. Units are virtual pixels at scale 1; lines are 44 apart.
#pragma once

constexpr int bbZoltFontAdvance(int code) {
    switch (code) {
        case ' ':
            return 24;
        case '!':
        case '\'':
        case ',':
        case '.':
        case ':':
        case ';':
        case '`':
        case 'l':
        case '|':
            return 9;
        case 'i':
            return 11;
        case '(':
        case ')':
        case '[':
        case ']':
            return 15;
        case '"':
            return 17;
        case 'j':
        case '{':
        case '}':
            return 18;
        case '*':
            return 23;
        default:
            return code > 32 && code <= 126 ? 22 : 0;
    }
}
