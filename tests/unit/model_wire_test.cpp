// Guards the answer the confined model reader sends the importer: everything the reader read
// arrives as it was, and no answer, however made, makes the importer crash, allocate what the
// answer does not hold, or accept what CheckModelData would refuse.
#include <gtest/gtest.h>

#include <cmath>    // NAN
#include <cstring>  // memcpy
#include <string>
#include <utility>  // pair
#include <vector>

#include "model/confine/model_wire.h"

namespace {

// Two meshes (the second with every per-vertex array), two materials, one picture with alpha.
ModelData SampleModel() {
    ModelData model;
    SourceMesh plain;
    plain.material = 1;
    plain.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    plain.triangles = {0, 1, 2};
    SourceMesh full = plain;
    full.material = 0;
    full.positions.insert(full.positions.end(), {1, 1, 0, 2, 1, 0});
    full.normals.assign(15, 0.5f);
    full.uvs = {0, 0, 1, 0, 0, 1, 1, 1, 0.25f, 0.75f};
    full.colours.assign(20, 200);
    full.triangles = {0, 1, 2, 2, 3, 4};
    model.meshes = {plain, full};
    SourceMaterial textured;
    textured.name = "skin";
    textured.picture = 0;
    SourceMaterial coloured;
    coloured.name = "paint";
    coloured.colour[0] = 1.0f;
    coloured.colour[2] = 0.25f;
    model.materials = {textured, coloured};
    SourcePicture picture;
    picture.image.width = 2;
    picture.image.height = 4;
    picture.image.alpha = true;
    picture.image.rgba.assign(2 * 4 * 4, 77);
    picture.source = "skin.png";
    model.pictures = {picture};
    model.up = UpDeclaration{Axis::MinusZ, "declared in the FBX file"};
    model.warnings = {"3 points and 0 lines left out", "texture 'x.png': not found"};
    return model;
}

// The position of the one 8-byte count `value` in `bytes`; -1 when it is not there exactly once.
long CountAt(const std::vector<uint8_t>& bytes, uint64_t value) {
    long found = -1;
    for (size_t i = 0; i + sizeof(value) <= bytes.size(); ++i) {
        if (std::memcmp(bytes.data() + i, &value, sizeof(value)) != 0) continue;
        if (found >= 0) return -1;
        found = static_cast<long>(i);
    }
    return found;
}

WireAnswer Decode(const std::vector<uint8_t>& bytes, ModelData& model, std::string& text) {
    return DecodeModelData(bytes.data(), bytes.size(), model, text);
}

}  // namespace

// Catches a field dropped, swapped or cut short on the way from the reader to the importer.
TEST(ModelWire, TheModelArrivesAsItWasRead) {
    const ModelData sent = SampleModel();
    ModelData got;
    std::string text;
    ASSERT_EQ(Decode(EncodeModelData(sent), got, text), WireAnswer::Model) << text;
    ASSERT_EQ(got.meshes.size(), 2u);
    for (size_t m = 0; m < 2; ++m) {
        EXPECT_EQ(got.meshes[m].material, sent.meshes[m].material);
        EXPECT_EQ(got.meshes[m].positions, sent.meshes[m].positions);
        EXPECT_EQ(got.meshes[m].normals, sent.meshes[m].normals);
        EXPECT_EQ(got.meshes[m].uvs, sent.meshes[m].uvs);
        EXPECT_EQ(got.meshes[m].colours, sent.meshes[m].colours);
        EXPECT_EQ(got.meshes[m].triangles, sent.meshes[m].triangles);
    }
    ASSERT_EQ(got.materials.size(), 2u);
    EXPECT_EQ(got.materials[0].name, "skin");
    EXPECT_EQ(got.materials[0].picture, 0);
    EXPECT_EQ(got.materials[1].picture, -1);
    EXPECT_EQ(got.materials[1].colour[0], 1.0f);  // exact: copied, never computed
    EXPECT_EQ(got.materials[1].colour[2], 0.25f);
    ASSERT_EQ(got.pictures.size(), 1u);
    EXPECT_EQ(got.pictures[0].image.width, 2);
    EXPECT_EQ(got.pictures[0].image.height, 4);
    EXPECT_TRUE(got.pictures[0].image.alpha);
    EXPECT_EQ(got.pictures[0].image.rgba, sent.pictures[0].image.rgba);
    EXPECT_EQ(got.pictures[0].source, "skin.png");
    EXPECT_EQ(got.up.axis, Axis::MinusZ);
    EXPECT_EQ(got.up.why, sent.up.why);
    EXPECT_EQ(got.warnings, sent.warnings);

    ModelData refused;
    ASSERT_EQ(Decode(EncodeRefusal("Unable to open file", sent.warnings), refused, text),
              WireAnswer::Refusal);
    EXPECT_EQ(text, "Unable to open file");
    EXPECT_EQ(refused.warnings, sent.warnings);
}

// Catches a decoder that reads past the bytes received or trusts what it reads: an answer cut
// anywhere, a count claiming far more than follows (allocated, it would exhaust memory), bytes
// after the end, and fields or values CheckModelData refuses.
TEST(ModelWire, EveryMalformedAnswerIsRefused) {
    const std::vector<uint8_t> good = EncodeModelData(SampleModel());
    ModelData model;
    std::string text;
    for (size_t size = 0; size < good.size(); ++size) {
        const std::vector<uint8_t> cut(good.begin(), good.begin() + size);
        EXPECT_EQ(Decode(cut, model, text), WireAnswer::Malformed) << "cut at " << size;
    }
    // Counts of SampleModel's arrays, each unique in its encoding: 10 texture coordinates, 20
    // colour bytes, 32 picture bytes, 6 corners.
    const uint64_t kHuge = uint64_t{1} << 61;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    for (uint64_t count : {uint64_t{10}, uint64_t{20}, uint64_t{32}, uint64_t{6}}) {
        for (uint64_t claimed : {kHuge, count + 1}) {
            std::vector<uint8_t> bytes = good;
            const long at = CountAt(bytes, count);
            ASSERT_GE(at, 0) << count;
            std::memcpy(bytes.data() + at, &claimed, sizeof(claimed));
            cases.emplace_back("count " + std::to_string(count) + " as " + std::to_string(claimed),
                               bytes);
        }
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    cases.emplace_back("a byte after the end", longer);
    std::vector<uint8_t> magic = good;
    magic[0] = 'X';
    cases.emplace_back("another magic", magic);
    std::vector<uint8_t> version = good;
    version[4] = 2;
    cases.emplace_back("another version", version);
    std::vector<uint8_t> kind = good;
    kind[8] = 2;
    cases.emplace_back("a kind that is neither model nor refusal", kind);
    ModelData outside = SampleModel();
    outside.meshes[1].triangles[5] = 5;
    cases.emplace_back("a corner outside its mesh", EncodeModelData(outside));
    ModelData infinite = SampleModel();
    infinite.meshes[0].positions[4] = NAN;
    cases.emplace_back("a position that is not a number", EncodeModelData(infinite));
    ModelData noPicture = SampleModel();
    noPicture.materials[0].picture = 1;
    cases.emplace_back("a material naming a picture that is not there", EncodeModelData(noPicture));
    ModelData oddPicture = SampleModel();
    oddPicture.pictures[0].image.rgba.pop_back();
    cases.emplace_back("a picture short of its pixels", EncodeModelData(oddPicture));
    for (const auto& [what, bytes] : cases) {
        EXPECT_EQ(Decode(bytes, model, text), WireAnswer::Malformed) << what;
        EXPECT_FALSE(text.empty()) << what;
    }
}
