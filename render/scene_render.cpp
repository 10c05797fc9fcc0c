#include "render/scene_render.h"

#include <GL/gl.h>

#include <new>  // bad_alloc
#include <vector>

#include "platform/platform.h"
#include "render/texture_set.h"
#include "render/world_build.h"

namespace {

void ClearAndSetView(Scene& scene) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // A scene without a camera (never loaded) is seen from the origin instead of crashing.
    const Camera origin;
    const Camera& eye = scene.camera != nullptr ? *scene.camera : origin;
    scene.viewX = -eye.x;
    scene.viewY = -eye.y;
    scene.viewZ = -eye.z;
    scene.viewYaw = 360.0f - eye.yaw;
    scene.viewPitch = 360.0f - eye.pitch;
    // The world moves opposite to the camera: position first, then yaw, then pitch.
    glRotatef(scene.viewPitch, 1.0f, 0.0f, 0.0f);
    glRotatef(scene.viewYaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(scene.viewX, scene.viewY, scene.viewZ);
}

}  // namespace

bool DrawScene(Scene& scene) {
    ClearAndSetView(scene);
    if (!scene.compiled) return false;
    glCallList(scene.displayList);
    return true;
}

void DestroyScene(Scene& scene) {
    if (scene.compiled && HasCurrentGLContext()) glDeleteLists(scene.displayList, 1);
    DeleteTextures(scene.textures);
    scene.ReleaseScene();
}

bool DrawSceneOnce(Scene& scene) {
    if (scene.worldVertices == nullptr && !BuildWorld(scene)) return false;
    TextureBatches batches;
    if (!GroupFacesByTexture(scene, batches)) return false;
    std::vector<GLuint> corners;
    try {
        corners.reserve(static_cast<size_t>(batches.drawCount) * 3);
    } catch (const std::bad_alloc&) {
        ReleaseBatches(batches);
        return false;
    }
    ClearAndSetView(scene);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &scene.worldVertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &scene.worldVertices[0].u);
    for (int32_t t = 0; t < batches.textureCount; ++t) {
        corners.clear();
        for (int32_t i = batches.first[t]; i < batches.first[t + 1]; ++i) {
            const Face& f = scene.worldFaces[batches.order[i]];
            corners.insert(corners.end(), {static_cast<GLuint>(f.a), static_cast<GLuint>(f.b),
                                           static_cast<GLuint>(f.c)});
        }
        if (corners.empty()) continue;
        BindTexture(scene.textures, t);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(corners.size()), GL_UNSIGNED_INT,
                       corners.data());
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    ReleaseBatches(batches);
    return true;
}
