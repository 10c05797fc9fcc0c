// Courses of blocks with joints between them: the pattern shared by bricks, flagstones, roof
// tiles and rubble walls. Every course wraps around horizontally and the courses fill the
// picture's height exactly, so the pattern tiles.
#pragma once

#include <vector>

#include "tools/demo/random.h"

struct Course {
    int bottom = 0;           // first pixel row
    int height = 0;           // rows
    std::vector<int> starts;  // ascending x where blocks begin; the last block wraps round
    int firstBlock = 0;       // id of the block at starts[0]; ids are unique in the layout
};

struct BlockLayout {
    int width = 0;
    std::vector<Course> courses;
    int blockCount = 0;
};

// Equal blocks, every other course shifted by half a block: a running bond.
BlockLayout MakeRunningBond(int width, int height, int courseHeight, int blockWidth);

// Blocks of random widths in [minWidth, maxWidth] (minWidth at most half of maxWidth), each
// course started at a random offset so that no joints line up.
BlockLayout MakeRandomCourses(Random& random, int width, const std::vector<int>& heights,
                              int minWidth, int maxWidth);

struct BlockHit {
    int block = 0;       // which block the pixel belongs to
    bool joint = false;  // in the mortar joint on the block's left or bottom side
    int edge = 0;        // distance in pixels to the nearest joint, for bevelled edges
    int rowInCourse = 0;
    int courseHeight = 0;
};

// Where pixel (x, y) falls in the layout, with joints `joint` pixels wide.
BlockHit LocateBlock(const BlockLayout& layout, int x, int y, int joint);
