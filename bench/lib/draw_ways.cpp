#define GL_GLEXT_PROTOTYPES  // buffer objects (GL 1.5): Mesa's libGL exports them
#include "bench/lib/draw_ways.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

#include "bench/lib/child_runs.h"
#include "bench/lib/process_figures.h"
#include "render/scene_render.h"
#include "render/texture_set.h"
#include "render/world_build.h"

namespace {

// One corner as glInterleavedArrays(GL_T2F_N3F_V3F) reads it.
struct Corner {
    float u, v, nx, ny, nz, x, y, z;
};

// The same faces in the forms the other ways draw from, batch by batch.
struct DrawData {
    TextureBatches batches;
    std::vector<Corner> corners;     // three per drawable face, batch after batch
    std::vector<uint32_t> elements;  // the same corners as indices into worldVertices
    GLuint cornerBuffer = 0, vertexBuffer = 0, elementBuffer = 0, arrayList = 0;

    DrawData() = default;
    DrawData(const DrawData&) = delete;
    DrawData& operator=(const DrawData&) = delete;
    ~DrawData() {
        const GLuint buffers[] = {cornerBuffer, vertexBuffer, elementBuffer};
        glDeleteBuffers(3, buffers);
        if (arrayList != 0) glDeleteLists(arrayList, 1);
        ReleaseBatches(batches);
    }
};

void FillDrawData(const Scene& scene, DrawData& data) {
    data.corners.reserve(static_cast<size_t>(data.batches.drawCount) * 3);
    data.elements.reserve(static_cast<size_t>(data.batches.drawCount) * 3);
    for (int32_t i = 0; i < data.batches.drawCount; ++i) {
        const Face& f = scene.worldFaces[data.batches.order[i]];
        for (const int32_t corner : {f.a, f.b, f.c}) {
            const Vertex& v = scene.worldVertices[corner];
            data.corners.push_back({v.u, v.v, f.nx, f.ny, f.nz, v.x, v.y, v.z});
            data.elements.push_back(static_cast<uint32_t>(corner));
        }
    }
}

// Calls draw(texture, first corner, corner count) for each non-empty batch, its texture bound.
template <typename Draw>
void ForEachBatch(const Scene& scene, const TextureBatches& batches, Draw draw) {
    for (int32_t t = 0; t < batches.textureCount; ++t) {
        const int32_t first = batches.first[t], count = batches.first[t + 1] - first;
        if (count == 0) continue;
        BindTexture(scene.textures, t);
        draw(first * 3, count * 3);
    }
}

void DrawImmediate(const Scene& scene, const DrawData& data) {
    ForEachBatch(scene, data.batches, [&](int32_t first, int32_t count) {
        glBegin(GL_TRIANGLES);
        for (int32_t i = first; i < first + count; ++i) {
            const Corner& c = data.corners[i];
            if ((i - first) % 3 == 0) glNormal3f(c.nx, c.ny, c.nz);
            glTexCoord2f(c.u, c.v);
            glVertex3f(c.x, c.y, c.z);
        }
        glEnd();
    });
}

// With `fromBuffer` the corners come from the bound array buffer (offset 0), else from memory.
void DrawCornerArrays(const Scene& scene, const DrawData& data, bool fromBuffer) {
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, fromBuffer ? nullptr : data.corners.data());
    ForEachBatch(scene, data.batches,
                 [](int32_t first, int32_t count) { glDrawArrays(GL_TRIANGLES, first, count); });
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Shared vertices need one normal per vertex, which faces that carry their own cannot give: these
// draw without normals (the viewer draws unlit, so the picture is the same).
void DrawIndexed(const Scene& scene, const DrawData& data, bool fromBuffers) {
    // Offsets into the bound buffers, or addresses in memory.
    const uintptr_t vertices = fromBuffers ? 0 : reinterpret_cast<uintptr_t>(scene.worldVertices);
    const uintptr_t elements = fromBuffers ? 0 : reinterpret_cast<uintptr_t>(data.elements.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex),
                    reinterpret_cast<const void*>(vertices + offsetof(Vertex, x)));
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex),
                      reinterpret_cast<const void*>(vertices + offsetof(Vertex, u)));
    ForEachBatch(scene, data.batches, [&](int32_t first, int32_t count) {
        glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(elements + first * sizeof(uint32_t)));
    });
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

template <typename T>
GLuint MakeBuffer(GLenum target, const std::vector<T>& contents) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(contents.size() * sizeof(T)), contents.data(),
                 GL_STATIC_DRAW);
    return buffer;
}

struct Way {
    const char* name;
    std::function<void()> draw;
    std::vector<double> frames;  // milliseconds
    double faults = 0.0;         // page faults during the timed frames
};

// One frame: cleared and seen from the camera as DrawScene does it; then `draw`.
void DrawFrame(Scene& scene, const std::function<void()>& draw) {
    // DrawScene clears and sets the view before it calls the list, and without `compiled` it
    // stops there: the other ways draw into the same view.
    const bool compiled = scene.compiled;
    scene.compiled = false;
    DrawScene(scene);
    scene.compiled = compiled;
    draw();
}

}  // namespace

std::vector<WayTime> TimeDrawingWays(Scene& scene, int rounds, double roundSeconds,
                                     const std::function<void()>& endFrame) {
    DrawData data;
    if (!GroupFacesByTexture(scene, data.batches)) return {};
    FillDrawData(scene, data);
    data.vertexBuffer = MakeBuffer(
        GL_ARRAY_BUFFER,
        std::vector<Vertex>(scene.worldVertices, scene.worldVertices + scene.worldVertexCount));
    data.elementBuffer = MakeBuffer(GL_ELEMENT_ARRAY_BUFFER, data.elements);
    data.cornerBuffer = MakeBuffer(GL_ARRAY_BUFFER, data.corners);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    data.arrayList = glGenLists(1);
    glNewList(data.arrayList, GL_COMPILE);
    DrawCornerArrays(scene, data, false);
    glEndList();

    std::vector<Way> ways = {
        {"the viewer's list", [&] { glCallList(scene.displayList); }, {}},
        {"immediate mode", [&] { DrawImmediate(scene, data); }, {}},
        {"client arrays", [&] { DrawCornerArrays(scene, data, false); }, {}},
        {"indexed client arrays", [&] { DrawIndexed(scene, data, false); }, {}},
        {"list of client arrays", [&] { glCallList(data.arrayList); }, {}},
        {"vertex buffer",
         [&] {
             glBindBuffer(GL_ARRAY_BUFFER, data.cornerBuffer);
             DrawCornerArrays(scene, data, true);
             glBindBuffer(GL_ARRAY_BUFFER, 0);
         },
         {}},
        {"indexed vertex buffers",
         [&] {
             glBindBuffer(GL_ARRAY_BUFFER, data.vertexBuffer);
             glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, data.elementBuffer);
             DrawIndexed(scene, data, true);
             glBindBuffer(GL_ARRAY_BUFFER, 0);
             glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
         },
         {}},
    };
    for (Way& way : ways) {  // a first frame each, not timed: its memory is first touched here
        DrawFrame(scene, way.draw);
        glFinish();
    }
    for (int round = 0; round < rounds; ++round) {
        for (Way& way : ways) {
            const double end = NowMs() + roundSeconds * 1e3, faults = PageFaults();
            for (int frame = 0; frame < 3 || NowMs() < end; ++frame) {
                const double start = NowMs();
                DrawFrame(scene, way.draw);
                endFrame();
                glFinish();
                way.frames.push_back(NowMs() - start);
            }
            way.faults += PageFaults() - faults;
        }
    }
    std::vector<WayTime> times;
    for (const Way& way : ways) {
        times.push_back({way.name, Median(way.frames), way.faults / way.frames.size()});
    }
    return times;
}

WayTime FastestOtherWay(const std::vector<WayTime>& ways) {
    WayTime fastest{"none", -1.0, 0.0};
    for (size_t i = 1; i < ways.size(); ++i) {
        if (ways[i].frameMs > 0 && (fastest.frameMs < 0 || ways[i].frameMs < fastest.frameMs)) {
            fastest = ways[i];
        }
    }
    return fastest;
}
