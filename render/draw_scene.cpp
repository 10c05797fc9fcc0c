// Scene::DrawScene: one frame of the compiled scene from the camera.
#include "scene/scene.h"

#include <SDL_opengl.h>

bool Scene::DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    // A scene without a camera (never loaded) is seen from the origin instead of crashing.
    const Camera origin;
    const Camera& eye = camera != nullptr ? *camera : origin;
    viewX = -eye.x;
    viewY = -eye.y;
    viewZ = -eye.z;
    viewYaw = 360.0f - eye.yaw;
    viewPitch = 360.0f - eye.pitch;
    // The world moves opposite to the camera: position first, then yaw, then pitch.
    glRotatef(viewPitch, 1.0f, 0.0f, 0.0f);
    glRotatef(viewYaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(viewX, viewY, viewZ);
    if (!compiled) return false;
    glCallList(displayList);
    return true;
}
