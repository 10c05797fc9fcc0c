#include "render/scene_render.h"

#include <GL/gl.h>

#include "platform/platform.h"
#include "render/texture_set.h"

bool DrawScene(Scene& scene) {
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
    if (!scene.compiled) return false;
    glCallList(scene.displayList);
    return true;
}

void DestroyScene(Scene& scene) {
    if (scene.compiled && HasCurrentGLContext()) glDeleteLists(scene.displayList, 1);
    DeleteTextures(scene.textures);
    scene.ReleaseScene();
}
