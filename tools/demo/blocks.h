// Courses of blocks with joints between them: the pattern shared by bricks, flagstones, roof
// tiles and rubble walls. Every course wraps around horizontally and the courses fill the
// picture's height exactly, so the pattern tiles.
#pragma once

#include <algorithm>  // min, sort
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

struct BlockHit {
    int block = 0;       // which block the pixel belongs to
    bool joint = false;  // in the mortar joint on the block's left or bottom side
    int edge = 0;        // distance in pixels to the nearest joint, for bevelled edges
    int rowInCourse = 0;
    int courseHeight = 0;
};

inline void AddCourse(BlockLayout& layout, int height, std::vector<int> starts) {
    Course course;
    course.bottom =
        layout.courses.empty() ? 0 : layout.courses.back().bottom + layout.courses.back().height;
    course.height = height;
    std::sort(starts.begin(), starts.end());
    course.starts = std::move(starts);
    course.firstBlock = layout.blockCount;
    layout.blockCount += static_cast<int>(course.starts.size());
    layout.courses.push_back(std::move(course));
}

// Equal blocks, every other course shifted by half a block: a running bond.
inline BlockLayout MakeRunningBond(int width, int height, int courseHeight, int blockWidth) {
    BlockLayout layout;
    layout.width = width;
    for (int c = 0; c * courseHeight < height; ++c) {
        std::vector<int> starts;
        for (int x = (c % 2) * blockWidth / 2; x < width; x += blockWidth) starts.push_back(x);
        AddCourse(layout, courseHeight, starts);
    }
    return layout;
}

// Blocks of random widths in [minWidth, maxWidth] (minWidth at most half of maxWidth), each
// course started at a random offset so that no joints line up.
inline BlockLayout MakeRandomCourses(Random& random, int width, const std::vector<int>& heights,
                                     int minWidth, int maxWidth) {
    BlockLayout layout;
    layout.width = width;
    for (int height : heights) {
        std::vector<int> lengths;
        int used = 0;
        while (width - used > maxWidth + minWidth) {
            lengths.push_back(NextInt(random, minWidth, maxWidth));
            used += lengths.back();
        }
        const int rest = width - used;
        if (rest <= maxWidth) {
            lengths.push_back(rest);
        } else {
            lengths.push_back(rest / 2);
            lengths.push_back(rest - rest / 2);
        }
        const int offset = NextInt(random, 0, width - 1);
        std::vector<int> starts;
        int x = offset;
        for (int length : lengths) {
            starts.push_back(x % width);
            x += length;
        }
        AddCourse(layout, height, starts);
    }
    return layout;
}

inline BlockHit LocateBlock(const BlockLayout& layout, int x, int y, int joint) {
    const Course* course = &layout.courses.back();
    for (const Course& c : layout.courses) {
        if (y < c.bottom + c.height) {
            course = &c;
            break;
        }
    }
    const int n = static_cast<int>(course->starts.size());
    int k = n - 1;  // left of starts[0] lies in the block that wraps round
    for (int i = 0; i < n; ++i) {
        if (course->starts[i] <= x) k = i;
    }
    const int start = course->starts[k];
    const int end = k + 1 < n ? course->starts[k + 1] : course->starts[0] + layout.width;
    const int inX = ((x - start) % layout.width + layout.width) % layout.width;
    const int inY = y - course->bottom;
    BlockHit hit;
    hit.block = course->firstBlock + k;
    hit.joint = inX < joint || inY < joint;
    hit.edge = std::min(std::min(inX - joint, end - start - 1 - inX),
                        std::min(inY - joint, course->height - 1 - inY));
    hit.rowInCourse = inY;
    hit.courseHeight = course->height;
    return hit;
}
