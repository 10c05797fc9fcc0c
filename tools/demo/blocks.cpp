#include "tools/demo/blocks.h"

#include <algorithm>  // min, sort
#include <utility>    // move

namespace {

void AddCourse(BlockLayout& layout, int height, std::vector<int> starts) {
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

}  // namespace

BlockLayout MakeRunningBond(int width, int height, int courseHeight, int blockWidth) {
    BlockLayout layout;
    layout.width = width;
    for (int c = 0; c * courseHeight < height; ++c) {
        std::vector<int> starts;
        for (int x = (c % 2) * blockWidth / 2; x < width; x += blockWidth) starts.push_back(x);
        AddCourse(layout, courseHeight, starts);
    }
    return layout;
}

BlockLayout MakeRandomCourses(Random& random, int width, const std::vector<int>& heights,
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

BlockHit LocateBlock(const BlockLayout& layout, int x, int y, int joint) {
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
