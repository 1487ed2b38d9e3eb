#pragma once
// A 5 x 7 pixel font for labelling contact sheets without a font engine.
// Lower-case letters, digits and a few marks; upper case prints as lower
// case, anything else as a blank.

#include <cctype>
#include <string>

namespace KelvoMedia {

inline const char* glyph(char c)
{
    switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'a': return "...........###.....#.#####...#.####";
    case 'b': return "#....#....#.##.##..##...##...#####.";
    case 'c': return "...........#####....#....#.....####";
    case 'd': return "....#....#.##.##..###...##...#.####";
    case 'e': return "...........###.#...#######.....###.";
    case 'f': return "..##..#..#.#...###...#....#....#...";
    case 'g': return "......#####...##...#.####....#.###.";
    case 'h': return "#....#....#.##.##..##...##...##...#";
    case 'i': return "..#........##....#....#....#...###.";
    case 'j': return "...#........##....#....#.#..#..##..";
    case 'k': return "#....#....#..#.#.#..##...#.#..#..#.";
    case 'l': return ".##....#....#....#....#....#...###.";
    case 'm': return "..........##.#.#.#.##.#.##...##...#";
    case 'n': return "..........#.##.##..##...##...##...#";
    case 'o': return "...........###.#...##...##...#.###.";
    case 'p': return "..........####.#...#####.#....#....";
    case 'q': return "...........#####...#.####....#....#";
    case 'r': return "..........#.##.##..##....#....#....";
    case 's': return "...........#####.....###.....#####.";
    case 't': return ".#....#...###...#....#....#..#..##.";
    case 'u': return "..........#...##...##...##..##.##.#";
    case 'v': return "..........#...##...##...#.#.#...#..";
    case 'w': return "..........#...##...##.#.##.#.#.#.#.";
    case 'x': return "..........#...#.#.#...#...#.#.#...#";
    case 'y': return "..........#...##...#.####....#.###.";
    case 'z': return "..........#####...#...#...#...#####";
    case '0': return ".###.#...##..###.#.###..##...#.###.";
    case '1': return "..#...##....#....#....#....#...###.";
    case '2': return ".###.#...#....#...#...#...#...#####";
    case '3': return "#####...#...#.....#.....##...#.###.";
    case '4': return "...#...##..#.#.#..#.#####...#....#.";
    case '5': return "######....####.....#....##...#.###.";
    case '6': return "..##..#...#....####.#...##...#.###.";
    case '7': return "#####....#...#...#...#....#....#...";
    case '8': return ".###.#...##...#.###.#...##...#.###.";
    case '9': return ".###.#...##...#.####....#...#..##..";
    case '_': return "..............................#####";
    case '.': return "..........................##...##..";
    case ':': return "......##...##........##...##.......";
    case '/': return "....#...#....#...#...#....#...#....";
    case '-': return "...............#####...............";
    default: return nullptr;
    }
}

// Draws text into an RGB buffer; clipped at the buffer's edges.
inline void drawText(unsigned char* rgb, int width, int height, int x, int y, const std::string& text,
                     unsigned char r, unsigned char g, unsigned char b)
{
    for (char c : text) {
        const char* bits = glyph(c);
        if (bits) {
            const std::string rows(bits);
            for (int gy = 0; gy < 7; ++gy) {
                for (int gx = 0; gx < 5; ++gx) {
                    const size_t i = size_t(gy * 5 + gx);
                    if (i >= rows.size() || rows[i] != '#') {
                        continue;
                    }
                    const int px = x + gx;
                    const int py = y + gy;
                    if (px < 0 || py < 0 || px >= width || py >= height) {
                        continue;
                    }
                    unsigned char* p = rgb + (size_t(py) * width + px) * 3;
                    p[0] = r;
                    p[1] = g;
                    p[2] = b;
                }
            }
        }
        x += 6;
    }
}

} // namespace KelvoMedia
