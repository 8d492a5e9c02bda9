// Reads screenshots in binary PPM form and reports what they show, for the
// end-to-end tests' shell scripts:
//   screenshot_check count IMAGE [X Y W H]   -> "red=.. grey=.. black=.. white=.. other=.. total=.."
//   screenshot_check diff IMAGE1 IMAGE2 [X Y W H [TOLERANCE]] -> "differ=N total=N"
//     (a pixel differs when a channel is off by more than TOLERANCE, default 0)
//   screenshot_check glyphs IMAGE [X Y W H] -> "glyphs=N distinct=N"
//     (dark text on a light ground, cut into pieces at blank rows and columns;
//     text drawn as boxes for want of a font has few distinct pieces)
//   screenshot_check near IMAGE R G B TOLERANCE [X Y W H] -> "near=N total=N", the pixels
//     whose every channel is within TOLERANCE of (R, G, B)

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

bool ReadToken(std::istream& in, std::string& token)
{
    token.clear();
    char c;
    while (in.get(c)) {
        if (c == '#') {
            std::string ignored;
            std::getline(in, ignored);
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            token += c;
            break;
        }
    }
    while (in.get(c) && !std::isspace(static_cast<unsigned char>(c))) {
        token += c;
    }
    return !token.empty();
}

bool Load(const char* path, Image& image)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic, w, h, maxValue;
    if (!ReadToken(in, magic) || magic != "P6" || !ReadToken(in, w) || !ReadToken(in, h) ||
        !ReadToken(in, maxValue) || maxValue != "255") {
        return false;
    }
    image.width = std::atoi(w.c_str());
    image.height = std::atoi(h.c_str());
    if (image.width <= 0 || image.height <= 0) {
        return false;
    }
    image.rgb.resize(static_cast<std::size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    return static_cast<std::size_t>(in.gcount()) == image.rgb.size();
}

struct Region {
    int x = 0, y = 0, w = 0, h = 0;
};

Region ParseRegion(int argc, char** argv, int first, const Image& image)
{
    Region r{0, 0, image.width, image.height};
    if (argc >= first + 4) {
        r = {std::atoi(argv[first]), std::atoi(argv[first + 1]), std::atoi(argv[first + 2]),
             std::atoi(argv[first + 3])};
    }
    if (r.x < 0) r.x = 0;
    if (r.y < 0) r.y = 0;
    if (r.x + r.w > image.width) r.w = image.width - r.x;
    if (r.y + r.h > image.height) r.h = image.height - r.y;
    return r;
}

const char* Classify(int r, int g, int b)
{
    if (r < 16 && g < 16 && b < 16) return "black";
    if (r > 240 && g > 240 && b > 240) return "white";
    if (r > 60 && r > 2 * g + 20 && r > 2 * b + 20) return "red";
    if (std::abs(r - g) < 14 && std::abs(g - b) < 14 && std::abs(r - b) < 14) return "grey";
    return "other";
}

bool IsInk(const Image& image, int x, int y)
{
    const unsigned char* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
    return p[0] + p[1] + p[2] < 3 * 100;
}

// Cuts the region into bands of rows holding ink, each band into runs of
// columns holding ink, and counts the runs and their distinct ink patterns.
void CountGlyphs(const Image& image, const Region& r, long& glyphs, long& distinct)
{
    std::set<std::string> shapes;
    glyphs = 0;
    int y = r.y;
    while (y < r.y + r.h) {
        auto rowHasInk = [&](int row) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                if (IsInk(image, x, row)) return true;
            }
            return false;
        };
        if (!rowHasInk(y)) {
            ++y;
            continue;
        }
        const int top = y;
        while (y < r.y + r.h && rowHasInk(y)) ++y;
        const int bottom = y;
        int x = r.x;
        while (x < r.x + r.w) {
            auto columnHasInk = [&](int column) {
                for (int row = top; row < bottom; ++row) {
                    if (IsInk(image, column, row)) return true;
                }
                return false;
            };
            if (!columnHasInk(x)) {
                ++x;
                continue;
            }
            std::string shape;
            while (x < r.x + r.w && columnHasInk(x)) {
                for (int row = top; row < bottom; ++row) shape += IsInk(image, x, row) ? '#' : '.';
                shape += '|';
                ++x;
            }
            ++glyphs;
            shapes.insert(shape);
        }
    }
    distinct = static_cast<long>(shapes.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "count") {
        Image image;
        if (!Load(argv[2], image)) {
            std::cerr << "cannot read " << argv[2] << "\n";
            return 2;
        }
        const Region r = ParseRegion(argc, argv, 3, image);
        long red = 0, grey = 0, black = 0, white = 0, other = 0;
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                const unsigned char* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
                const std::string c = Classify(p[0], p[1], p[2]);
                if (c == "red") ++red;
                else if (c == "grey") ++grey;
                else if (c == "black") ++black;
                else if (c == "white") ++white;
                else ++other;
            }
        }
        std::cout << "red=" << red << " grey=" << grey << " black=" << black << " white=" << white
                  << " other=" << other << " total=" << static_cast<long>(r.w) * r.h << "\n";
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "diff") {
        Image a, b;
        if (!Load(argv[2], a) || !Load(argv[3], b) || a.width != b.width || a.height != b.height) {
            std::cerr << "cannot compare " << argv[2] << " and " << argv[3] << "\n";
            return 2;
        }
        const Region r = ParseRegion(argc, argv, 4, a);
        const int tolerance = argc >= 9 ? std::atoi(argv[8]) : 0;
        long differ = 0;
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                const std::size_t i = (static_cast<std::size_t>(y) * a.width + x) * 3;
                for (int c = 0; c < 3; ++c) {
                    if (std::abs(a.rgb[i + c] - b.rgb[i + c]) > tolerance) {
                        ++differ;
                        break;
                    }
                }
            }
        }
        std::cout << "differ=" << differ << " total=" << static_cast<long>(r.w) * r.h << "\n";
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "glyphs") {
        Image image;
        if (!Load(argv[2], image)) {
            std::cerr << "cannot read " << argv[2] << "\n";
            return 2;
        }
        long glyphs = 0, distinct = 0;
        CountGlyphs(image, ParseRegion(argc, argv, 3, image), glyphs, distinct);
        std::cout << "glyphs=" << glyphs << " distinct=" << distinct << "\n";
        return 0;
    }
    if (argc >= 7 && std::string(argv[1]) == "near") {
        Image image;
        if (!Load(argv[2], image)) {
            std::cerr << "cannot read " << argv[2] << "\n";
            return 2;
        }
        const int want[3] = {std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])};
        const int tolerance = std::atoi(argv[6]);
        const Region r = ParseRegion(argc, argv, 7, image);
        long near = 0;
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                const unsigned char* p = &image.rgb[(static_cast<std::size_t>(y) * image.width + x) * 3];
                bool close = true;
                for (int c = 0; c < 3; ++c) {
                    close = close && std::abs(p[c] - want[c]) <= tolerance;
                }
                near += close ? 1 : 0;
            }
        }
        std::cout << "near=" << near << " total=" << static_cast<long>(r.w) * r.h << "\n";
        return 0;
    }
    std::cerr << "usage: screenshot_check count IMAGE [X Y W H] | diff A B [X Y W H [TOLERANCE]] |"
                 " near IMAGE R G B TOLERANCE [X Y W H] | glyphs IMAGE [X Y W H]\n";
    return 2;
}
