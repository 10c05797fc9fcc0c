#include "tools/demo/world.h"

#include <cmath>    // sqrt
#include <utility>  // move

#include "tools/demo/courtyard.h"
#include "tools/demo/objects.h"
#include "tools/demo/random.h"
#include "tools/demo/terrain.h"
#include "tools/demo/texture_ids.h"

namespace {

std::string AddObject(DemoWorld& world, const std::string& stem, Mesh mesh) {
    world.objects.push_back(DemoObject{"data/objects/" + stem + ".obj", std::move(mesh)});
    return world.objects.back().file;
}

void Place(DemoWorld& world, const std::string& file, double x, double y, double z, double scale) {
    world.placements.push_back(Placement{file, x, y, z, scale});
}

// Somewhere a structure stands beyond the walls; firs keep clear of it.
struct Clearing {
    double x, z, radius;
};

// Firs scattered over the meadow: not too near the walls, each other or the structures, and
// never in the line of sight from the doorway to the obelisk.
void PlantFirs(DemoWorld& world, const std::string& fir, const Terrain& terrain,
               std::vector<Clearing> clearings, int count) {
    Random random = MakeRandom(0xF1A5u);
    int planted = 0;
    while (planted < count) {
        const double x = NextRange(random, -78.0, 78.0);
        const double z = NextRange(random, -78.0, 78.0);
        const double scale = NextRange(random, 0.8, 1.7);
        const double r = std::sqrt(x * x + z * z);
        bool clear = r > 20.0 && r < 80.0 && !(x > -6.0 && x < 6.0 && z < 0.0);
        for (const Clearing& c : clearings) {
            const double dx = x - c.x, dz = z - c.z;
            clear = clear && dx * dx + dz * dz > c.radius * c.radius;
        }
        if (!clear) continue;
        Place(world, fir, x, GroundUnder(terrain, x, z, 0.22 * scale), z, scale);
        clearings.push_back(Clearing{x, z, 4.0});
        ++planted;
    }
}

}  // namespace

DemoWorld BuildDemoWorld() {
    DemoWorld world;
    for (int id = 0; id < kTextureCount; ++id) {
        world.textures.push_back(DescribeTexture(static_cast<TextureId>(id)).file);
    }
    const Terrain terrain = MakeTerrain();
    const std::string floor = AddObject(world, "floor", BuildFloor());
    const std::string meadow = AddObject(world, "meadow", BuildMeadow(terrain));
    const std::string wallX = AddObject(world, "wall_x", BuildWall(false));
    const std::string wallZ = AddObject(world, "wall_z", BuildWall(true));
    const std::string gate = AddObject(world, "gate", BuildGate());
    const std::string pier = AddObject(world, "pier", BuildPier());
    const std::string column = AddObject(world, "column", BuildColumn());
    const std::string architrave = AddObject(world, "architrave", BuildArchitrave());
    const std::string platform = AddObject(world, "platform", BuildPlatform());
    const std::string stairs = AddObject(world, "stairs", BuildStairs());
    const std::string crate = AddObject(world, "crate", BuildCrate());
    const std::string lamp = AddObject(world, "lamp", BuildLamp());
    const std::string obelisk = AddObject(world, "obelisk", BuildObelisk());
    const std::string tower = AddObject(world, "tower", BuildTower());
    const std::string fir = AddObject(world, "fir", BuildFir());
    const std::string bounds = AddObject(world, "bounds", BuildBounds());

    Place(world, floor, 0, 0, 0, 1);
    Place(world, meadow, 0, 0, 0, 1);
    Place(world, bounds, 0, 0, 0, 1);

    // Walls on the centre lines of their ring; the doorway takes the north middle.
    const double wallLine = kCourtyardHalf + kWallThickness / 2;
    for (int k = -3; k <= 3; ++k) {
        if (k != 0) Place(world, wallX, 4.0 * k, 0, -wallLine, 1);
        Place(world, wallX, 4.0 * k, 0, wallLine, 1);
        Place(world, wallZ, -wallLine, 0, 4.0 * k, 1);
        Place(world, wallZ, wallLine, 0, 4.0 * k, 1);
    }
    Place(world, gate, 0, 0, -wallLine, 1);
    for (double x : {-wallLine, wallLine}) {
        for (double z : {-wallLine, wallLine}) Place(world, pier, x, 0, z, 1);
    }

    // Two rows of columns lead from the viewer's start to the doorway.
    for (double x : {-5.0, 5.0}) {
        for (double z : {-10.0, -6.0, -2.0, 2.0, 6.0}) Place(world, column, x, 0, z, 1);
        Place(world, architrave, x, 4.0, -2.0, 1);
    }

    // Raised corners either side of the doorway, each reached by a flight of steps.
    for (double x : {-10.0, 10.0}) {
        Place(world, platform, x, 0, -10.0, 1);
        Place(world, stairs, x, 0, -5.75, 1);
    }
    Place(world, obelisk, -10.0, 1.0, -10.0, 0.35);

    // Crates of several sizes, some stacked.
    Place(world, crate, 9.0, 0, 3.0, 1.0);
    Place(world, crate, 10.1, 0, 3.2, 0.8);
    Place(world, crate, 9.15, 1.0, 3.15, 0.7);
    Place(world, crate, -11.5, 0, 8.0, 1.2);
    Place(world, crate, -10.1, 0, 8.3, 0.6);
    Place(world, crate, 8.6, 1.0, -11.8, 0.9);

    // Lamps along the far half of the path, and larger ones outside the doorway.
    for (double x : {-2.5, 2.5}) {
        for (double z : {-9.0, -3.0}) Place(world, lamp, x, 0, z, 1.0);
        Place(world, lamp, x, 0, -17.5, 1.3);
    }

    // Beyond the walls, from 20 m to the edge of the fog.
    const struct {
        const std::string& file;
        double x, z, scale, footprint;
    } landmarks[] = {
        {obelisk, 0.0, -34.0, 1.6, 1.0},  {obelisk, -20.0, 30.0, 1.2, 1.0},
        {tower, -26.0, -36.0, 1.0, 3.2},  {tower, 30.0, -50.0, 1.4, 3.2},
        {tower, 6.0, -72.0, 1.8, 3.2},    {tower, 46.0, 28.0, 1.2, 3.2},
        {column, 20.0, -26.0, 1.5, 0.45}, {column, 20.0, -31.0, 1.5, 0.45},
        {column, 20.0, -36.0, 1.5, 0.45}, {wallZ, -34.0, -18.0, 1.3, 2.6},
        {wallZ, -34.0, -23.2, 1.3, 2.6},
    };
    std::vector<Clearing> clearings{{0, 0, 23.0}};
    for (const auto& l : landmarks) {
        const double radius = l.footprint * l.scale;
        Place(world, l.file, l.x, GroundUnder(terrain, l.x, l.z, radius), l.z, l.scale);
        clearings.push_back(Clearing{l.x, l.z, radius + 4.0});
    }
    PlantFirs(world, fir, terrain, clearings, 30);

    // At eye height near the south wall, looking north down the colonnade to the doorway.
    world.cameraFile = "data/demo.cam";
    world.camera = CameraStart{0.0, 1.7, 11.0, 5.0, 0.0, 0.0};
    return world;
}
