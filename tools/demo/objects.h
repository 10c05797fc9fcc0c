// The shapes of the demo's object files, each in its own coordinates with the ground at y = 0;
// the scene file places and scales them. One metre is one unit.
#pragma once

#include "tools/demo/mesh.h"

// The courtyard: its floor, the walls round it (two files rather than one, since the scene can
// move and scale an object but not turn it), the doorway and the corner piers.
Mesh BuildFloor();
Mesh BuildWall(bool alongZ);  // 4 m long
Mesh BuildGate();
Mesh BuildPier();

// The colonnade, and the raised corners with their steps.
Mesh BuildColumn();
Mesh BuildArchitrave();
Mesh BuildPlatform();
Mesh BuildStairs();

Mesh BuildCrate();
Mesh BuildLamp();

// Beyond the walls.
Mesh BuildObelisk();
Mesh BuildTower();
Mesh BuildFir();

// The walkable volume of the courtyard, for tools that want to keep a walker inside. Hidden:
// the viewer counts its faces in the report but never draws them.
Mesh BuildBounds();
