// Renders the desktop's text font into the glyph table of the backends without a font renderer
// (the web page, the Windows build), so that text there looks as it does on the Linux desktop: the
// same font file, size and hinting as the SDL backend, each character from 32 to 127 rendered the
// way that backend renders it (solid, one bit a pixel).
// Usage: make_glyphs OUTPUT.cpp
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const int kFontSize = 13;
const int kFirst = 32, kLast = 127;

struct Glyph {
    int w = 0, h = 0, advance = 0;
    std::vector<uint8_t> bits;
};

Glyph render(TTF_Font* font, int c) {
    Glyph g;
    int minx = 0, maxx = 0, miny = 0, maxy = 0;
    if (TTF_GlyphMetrics(font, static_cast<Uint16>(c), &minx, &maxx, &miny, &maxy, &g.advance) != 0)
        g.advance = kFontSize / 2;
    if (c == ' ') return g;
    const char text[2] = {static_cast<char>(c), 0};
    SDL_Surface* s = TTF_RenderUTF8_Solid(font, text, SDL_Color{255, 255, 255, 255});
    if (!s) return g;
    if (SDL_LockSurface(s) == 0) {
        g.w = s->w;
        g.h = s->h;
        g.bits.assign(static_cast<size_t>(s->w) * s->h, 0);
        const uint8_t* px = static_cast<const uint8_t*>(s->pixels);
        for (int y = 0; y < s->h; ++y)
            for (int x = 0; x < s->w; ++x) g.bits[static_cast<size_t>(y) * s->w + x] = px[y * s->pitch + x] ? 1 : 0;
        SDL_UnlockSurface(s);
    }
    SDL_FreeSurface(s);
    return g;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_glyphs OUTPUT.cpp\n");
        return 2;
    }
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "make_glyphs: cannot start the text renderer: %s\n", TTF_GetError());
        return 1;
    }
    TTF_Font* font = TTF_OpenFont(kFontPath, kFontSize);
    if (!font) {
        std::fprintf(stderr, "make_glyphs: cannot open the font %s: %s\n", kFontPath, TTF_GetError());
        return 1;
    }
    TTF_SetFontHinting(font, TTF_HINTING_MONO);

    std::string bits, table;
    size_t offset = 0;
    for (int c = kFirst; c <= kLast; ++c) {
        const Glyph g = render(font, c);
        for (size_t i = 0; i < g.bits.size(); ++i) bits += g.bits[i] ? "1," : "0,";
        if (!g.bits.empty()) bits += "\n";
        table += "    {" + std::to_string(g.w) + ", " + std::to_string(g.h) + ", " + std::to_string(g.advance) +
                 ", kBits + " + std::to_string(offset) + "},  // " + std::to_string(c) + "\n";
        offset += g.bits.size();
    }
    TTF_CloseFont(font);
    TTF_Quit();

    FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::fprintf(stderr, "make_glyphs: cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Made by make_glyphs from DejaVu Sans Bold, %d points, mono hinting.\n"
                 "#include \"platform/common/glyph_table.h\"\n\n"
                 "namespace {\n\nconst uint8_t kBits[] = {\n%s0};\n\n}  // namespace\n\n"
                 "const GlyphImage glyph_table[GLYPH_TABLE_COUNT] = {\n%s};\n",
                 kFontSize, bits.c_str(), table.c_str());
    const int failed = std::ferror(out) != 0;
    return (std::fclose(out) != 0 || failed) ? 1 : 0;
}
