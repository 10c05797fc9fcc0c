#include "tools/demo/textures.h"

#include <vector>

#include "tools/demo/blocks.h"
#include "tools/demo/noise.h"
#include "tools/demo/random.h"

namespace {

Rgb Scale(Rgb c, double factor) {
    return Rgb{c.r * factor, c.g * factor, c.b * factor};
}

Rgb Mix(Rgb a, Rgb b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A random factor per block, so that neighbouring blocks differ in shade.
std::vector<double> BlockShades(Random& random, int count, double low, double high) {
    std::vector<double> shades(count);
    for (double& shade : shades) shade = NextRange(random, low, high);
    return shades;
}

// Noise sampled at the centre of pixel (x, y) of the image.
double Grain(const FractalNoise& noise, const Image& image, int x, int y) {
    return SampleFractal(noise, (x + 0.5) / image.width, (y + 0.5) / image.height);
}

// Blocks in `block` colour with lighter mortar; edges of each block a little darker.
Image PaintMasonry(Random& random, const BlockLayout& layout, int size, Rgb block, Rgb mortar,
                   int joint, double shadeLow, double shadeHigh) {
    Image image = MakeImage(size, size, false);
    const FractalNoise grain = MakeFractalNoise(random, 8, 8, 5);
    const std::vector<double> shades = BlockShades(random, layout.blockCount, shadeLow, shadeHigh);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const BlockHit hit = LocateBlock(layout, x, y, joint);
            const double n = Grain(grain, image, x, y);
            if (hit.joint) {
                SetPixel(image, x, y, Scale(mortar, 0.8 + 0.35 * n));
                continue;
            }
            const double bevel = hit.edge == 0 ? 0.82 : hit.edge == 1 ? 0.92 : 1.0;
            SetPixel(image, x, y, Scale(block, shades[hit.block] * (0.75 + 0.5 * n) * bevel));
        }
    }
    return image;
}

Image PaintBrick(Random& random) {
    const BlockLayout layout = MakeRunningBond(256, 256, 16, 32);
    return PaintMasonry(random, layout, 256, Rgb{160, 78, 54}, Rgb{176, 170, 156}, 2, 0.72, 1.12);
}

Image PaintFlagstone(Random& random) {
    const BlockLayout layout = MakeRandomCourses(random, 256, {64, 64, 64, 64}, 48, 128);
    return PaintMasonry(random, layout, 256, Rgb{150, 144, 130}, Rgb{72, 68, 62}, 3, 0.78, 1.12);
}

Image PaintRubble(Random& random) {
    const BlockLayout layout = MakeRandomCourses(random, 128, {20, 16, 24, 18, 14, 20, 16}, 14, 40);
    return PaintMasonry(random, layout, 128, Rgb{132, 128, 120}, Rgb{88, 84, 78}, 2, 0.7, 1.15);
}

// Fired clay tiles in overlapping rows: each row darkens towards its upper edge, where the row
// above overlaps it and throws its shadow.
Image PaintRoof(Random& random) {
    const BlockLayout layout = MakeRunningBond(128, 128, 16, 16);
    Image image = MakeImage(128, 128, false);
    const FractalNoise grain = MakeFractalNoise(random, 8, 8, 4);
    const std::vector<double> shades = BlockShades(random, layout.blockCount, 0.75, 1.1);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const BlockHit hit = LocateBlock(layout, x, y, 1);
            const double n = Grain(grain, image, x, y);
            const double drop = 1.0 - static_cast<double>(hit.rowInCourse) / hit.courseHeight;
            const double shade = hit.joint ? 0.45 : shades[hit.block] * (0.6 + 0.45 * drop);
            SetPixel(image, x, y, Scale(Rgb{168, 74, 46}, shade * (0.85 + 0.3 * n)));
        }
    }
    return image;
}

Image PaintSandstone(Random& random) {
    Image image = MakeImage(128, 128, false);
    const FractalNoise grain = MakeFractalNoise(random, 4, 4, 5);
    const NoiseLattice strata = MakeNoiseLattice(random, 1, 24);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double n = Grain(grain, image, x, y);
            const double band = SampleLattice(strata, 0.0, (y + 0.5) * 24.0 / image.height);
            SetPixel(image, x, y, Scale(Rgb{200, 174, 128}, 0.8 + 0.25 * n + 0.1 * band));
        }
    }
    return image;
}

// Short blades of light and dark green over a mottled ground.
Image PaintGrass(Random& random) {
    Image image = MakeImage(128, 128, false);
    const FractalNoise grain = MakeFractalNoise(random, 4, 4, 5);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double n = Grain(grain, image, x, y);
            SetPixel(image, x, y, Mix(Rgb{42, 78, 28}, Rgb{104, 140, 52}, n));
        }
    }
    for (int blade = 0; blade < 900; ++blade) {
        const int x0 = NextInt(random, 0, image.width - 1);
        const int y0 = NextInt(random, 0, image.height - 1);
        const int length = NextInt(random, 3, 7);
        const int lean = NextInt(random, -1, 1);
        const Rgb color = NextUnit(random) < 0.5 ? Rgb{120, 160, 60} : Rgb{34, 64, 22};
        for (int i = 0; i < length; ++i) {
            const int x = ((x0 + lean * i / 3) % image.width + image.width) % image.width;
            SetPixel(image, x, (y0 + i) % image.height, color);
        }
    }
    return image;
}

// Vertical planks inside a frame of darker boards, with one diagonal brace.
Image PaintCrate(Random& random) {
    Image image = MakeImage(128, 128, false);
    const FractalNoise grain = MakeFractalNoise(random, 16, 2, 4);
    const Rgb wood{156, 110, 62};
    const int frame = 14;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double n = Grain(grain, image, x, y);
            const bool inFrame = x < frame || y < frame || x >= 128 - frame || y >= 128 - frame;
            const bool onBrace = !inFrame && x - y < 10 && y - x < 10;
            double shade = 0.7 + 0.45 * n;
            if (inFrame) shade *= 0.78;
            if (!inFrame && !onBrace && x % 25 < 2) shade *= 0.45;  // gaps between planks
            if (onBrace && (x - y == 9 || y - x == 9)) shade *= 0.55;
            if (inFrame &&
                (x == frame - 1 || y == frame - 1 || x == 128 - frame || y == 128 - frame)) {
                shade *= 0.6;
            }
            SetPixel(image, x, y, Scale(wood, shade));
        }
    }
    // Nail heads in the corners of the frame.
    const int nails[4][2] = {{6, 6}, {121, 6}, {6, 121}, {121, 121}};
    for (const auto& nail : nails) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                SetPixel(image, nail[0] + dx, nail[1] + dy, Rgb{60, 58, 56});
            }
        }
    }
    return image;
}

// Furrowed bark; u runs once round the trunk, v up it.
Image PaintBark(Random& random) {
    Image image = MakeImage(64, 128, false);
    const FractalNoise furrows = MakeFractalNoise(random, 8, 2, 4);
    const FractalNoise grain = MakeFractalNoise(random, 8, 8, 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double f = Grain(furrows, image, x, y);
            const double n = Grain(grain, image, x, y);
            const double shade = (f < 0.42 ? 0.5 : 1.0) * (0.75 + 0.4 * n);
            SetPixel(image, x, y, Scale(Rgb{104, 78, 56}, shade));
        }
    }
    return image;
}

// Needles in clumps; alpha holds the clumps' coverage (opaque needles, thin gaps), for a
// renderer that blends foliage.
Image PaintLeaves(Random& random) {
    Image image = MakeImage(128, 128, true);
    const FractalNoise clumps = MakeFractalNoise(random, 8, 8, 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double n = Grain(clumps, image, x, y);
            const bool gap = n < 0.38;
            const Rgb color = gap ? Rgb{18, 40, 20} : Mix(Rgb{28, 70, 34}, Rgb{70, 122, 56}, n);
            SetPixel(image, x, y, color, gap ? 96.0 : 255.0);
        }
    }
    for (int needle = 0; needle < 700; ++needle) {
        const int x0 = NextInt(random, 0, image.width - 1);
        const int y0 = NextInt(random, 0, image.height - 1);
        const int dir = NextInt(random, -1, 1);
        const Rgb color = NextUnit(random) < 0.5 ? Rgb{96, 150, 70} : Rgb{22, 52, 26};
        for (int i = 0; i < 4; ++i) {
            const int x = ((x0 + dir * i) % image.width + image.width) % image.width;
            SetPixel(image, x, (y0 + i) % image.height, color);
        }
    }
    return image;
}

// Brushed steel plate with a darker rim and a row of rivets along each edge. Alpha is a gloss
// mask (the streaks), kept for a renderer that uses it.
Image PaintMetal(Random& random) {
    Image image = MakeImage(64, 64, true);
    const FractalNoise brush = MakeFractalNoise(random, 2, 16, 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double n = Grain(brush, image, x, y);
            const bool rim = x < 3 || y < 3 || x >= 61 || y >= 61;
            const double shade = (0.8 + 0.35 * n) * (rim ? 0.7 : 1.0);
            SetPixel(image, x, y, Scale(Rgb{118, 124, 132}, shade), 200.0 + 55.0 * n);
        }
    }
    for (int i = 8; i < 64; i += 16) {
        const int rivets[4][2] = {{i, 7}, {i, 56}, {7, i}, {56, i}};
        for (const auto& rivet : rivets) {
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    if (dx * dx + dy * dy > 5) continue;
                    const double light = dx - dy > 0 ? 0.6 : 1.35;  // lit from the upper left
                    SetPixel(image, rivet[0] + dx, rivet[1] + dy, Scale(Rgb{130, 136, 144}, light));
                }
            }
        }
    }
    return image;
}

}  // namespace

Image PaintTexture(TextureId id) {
    Random random = MakeRandom(0x51ED2701u + 7919u * static_cast<uint32_t>(id));
    switch (id) {
        case kBrick:
            return PaintBrick(random);
        case kFlagstone:
            return PaintFlagstone(random);
        case kSandstone:
            return PaintSandstone(random);
        case kRubble:
            return PaintRubble(random);
        case kGrass:
            return PaintGrass(random);
        case kCrate:
            return PaintCrate(random);
        case kBark:
            return PaintBark(random);
        case kLeaves:
            return PaintLeaves(random);
        case kRoof:
            return PaintRoof(random);
        case kMetal:
            return PaintMetal(random);
        case kTextureCount:
            break;
    }
    return Image{};
}
