// The procedural pictures behind every TextureId. Each texture draws from its own seeded
// generator, so changing one picture leaves the others' bytes alone.
#pragma once

#include "tools/demo/texture_ids.h"
#include "tools/image/image.h"

Image PaintTexture(TextureId id);
