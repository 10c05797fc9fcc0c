// The courtyard's plan, in metres from its centre: the floor, the walls, the meadow round them
// and the placements all build on these, so that they meet without gaps or overlaps.
#pragma once

constexpr double kCourtyardHalf = 14.0;  // inner face of the walls
constexpr double kWallThickness = 0.6;
// Where the walls end: the meadow leaves this square to the floor and the walls.
constexpr double kCourtyardOuterHalf = kCourtyardHalf + kWallThickness;
