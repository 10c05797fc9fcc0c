#include "model/confine/model_wire.h"

#include <cstring>  // memcpy
#include <type_traits>

namespace {

const char kMagic[4] = {'Q', 'V', 'M', 'D'};
constexpr uint32_t kVersion = 1;
enum Kind : uint8_t { kModel = 0, kRefusal = 1 };

// The fewest bytes each record takes, by its counts and fixed fields, so that a record count
// can be checked against what follows before a vector of records is made.
constexpr size_t kCountBytes = sizeof(uint64_t);
constexpr size_t kMinTextBytes = kCountBytes;
constexpr size_t kMinMaterialBytes = kMinTextBytes + 3 * sizeof(float) + sizeof(int32_t);
constexpr size_t kMinPictureBytes = 2 * sizeof(int32_t) + 1 + kCountBytes + kMinTextBytes;
constexpr size_t kMinMeshBytes = sizeof(uint32_t) + 5 * kCountBytes;

// ---- Writing ----

template <typename T>
void Put(std::vector<uint8_t>& out, const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    const auto* from = reinterpret_cast<const uint8_t*>(&value);
    out.insert(out.end(), from, from + sizeof(T));
}

template <typename T>
void PutArray(std::vector<uint8_t>& out, const T* values, size_t count) {
    static_assert(std::is_trivially_copyable_v<T>);
    Put(out, uint64_t{count});
    const auto* from = reinterpret_cast<const uint8_t*>(values);
    out.insert(out.end(), from, from + count * sizeof(T));
}

template <typename T>
void PutArray(std::vector<uint8_t>& out, const std::vector<T>& values) {
    PutArray(out, values.data(), values.size());
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
    PutArray(out, text.data(), text.size());
}

void PutTexts(std::vector<uint8_t>& out, const std::vector<std::string>& texts) {
    Put(out, uint64_t{texts.size()});
    for (const std::string& text : texts) PutText(out, text);
}

// A little more than the encoding of `model` takes, so that it is made in one block: growing it
// would copy it and touch twice its pages.
size_t EncodedSizeAbove(const ModelData& model) {
    constexpr size_t kRecord = 64;  // more than a record's counts and fixed fields
    size_t bytes = kRecord + model.up.why.size();
    for (const std::string& warning : model.warnings) bytes += kRecord + warning.size();
    for (const SourceMaterial& material : model.materials) bytes += kRecord + material.name.size();
    for (const SourcePicture& picture : model.pictures) {
        bytes += kRecord + picture.image.rgba.size() + picture.source.size();
    }
    for (const SourceMesh& mesh : model.meshes) {
        bytes += kRecord +
                 (mesh.positions.size() + mesh.normals.size() + mesh.uvs.size()) * sizeof(float) +
                 mesh.colours.size() + mesh.triangles.size() * sizeof(uint32_t);
    }
    return bytes;
}

std::vector<uint8_t> Start(Kind kind) {
    std::vector<uint8_t> out(kMagic, kMagic + sizeof(kMagic));
    Put(out, kVersion);
    Put(out, static_cast<uint8_t>(kind));
    return out;
}

// ---- Reading: every Take fails, and leaves the reader failed, when the bytes run out ----

struct WireReader {
    const uint8_t* at = nullptr;
    size_t left = 0;
    bool failed = false;
};

bool TakeBytes(WireReader& in, void* to, size_t size) {
    if (in.failed || size > in.left) {
        in.failed = true;
        return false;
    }
    if (size > 0) std::memcpy(to, in.at, size);
    in.at += size;
    in.left -= size;
    return true;
}

template <typename T>
bool Take(WireReader& in, T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    return TakeBytes(in, &value, sizeof(T));
}

// A count of elements that each take at least `minimumBytes` of what follows.
bool TakeCount(WireReader& in, size_t minimumBytes, size_t& count) {
    uint64_t claimed = 0;
    if (!Take(in, claimed)) return false;
    if (claimed > in.left / minimumBytes) {
        in.failed = true;
        return false;
    }
    count = static_cast<size_t>(claimed);
    return true;
}

template <typename T>
bool TakeArray(WireReader& in, std::vector<T>& values) {
    size_t count = 0;
    if (!TakeCount(in, sizeof(T), count)) return false;
    values.resize(count);
    return TakeBytes(in, values.data(), count * sizeof(T));
}

bool TakeText(WireReader& in, std::string& text) {
    size_t count = 0;
    if (!TakeCount(in, 1, count)) return false;
    text.resize(count);
    return TakeBytes(in, text.data(), count);
}

bool TakeTexts(WireReader& in, std::vector<std::string>& texts) {
    size_t count = 0;
    if (!TakeCount(in, kMinTextBytes, count)) return false;
    texts.resize(count);
    for (std::string& text : texts) {
        if (!TakeText(in, text)) return false;
    }
    return true;
}

// A byte that must be below `limit`, such as a flag (2) or an axis (6).
bool TakeSmall(WireReader& in, uint8_t limit, uint8_t& value) {
    if (!Take(in, value)) return false;
    if (value >= limit) in.failed = true;
    return !in.failed;
}

bool TakeMaterial(WireReader& in, SourceMaterial& material) {
    return TakeText(in, material.name) && Take(in, material.colour) && Take(in, material.picture);
}

bool TakePicture(WireReader& in, SourcePicture& picture) {
    uint8_t alpha = 0;
    const bool taken = Take(in, picture.image.width) && Take(in, picture.image.height) &&
                       TakeSmall(in, 2, alpha) && TakeArray(in, picture.image.rgba) &&
                       TakeText(in, picture.source);
    picture.image.alpha = alpha == 1;
    return taken;
}

bool TakeMesh(WireReader& in, SourceMesh& mesh) {
    return Take(in, mesh.material) && TakeArray(in, mesh.positions) &&
           TakeArray(in, mesh.normals) && TakeArray(in, mesh.uvs) && TakeArray(in, mesh.colours) &&
           TakeArray(in, mesh.triangles);
}

template <typename T>
bool TakeRecords(WireReader& in, size_t minimumBytes, std::vector<T>& records,
                 bool (*take)(WireReader&, T&)) {
    size_t count = 0;
    if (!TakeCount(in, minimumBytes, count)) return false;
    records.resize(count);
    for (T& record : records) {
        if (!take(in, record)) return false;
    }
    return true;
}

bool TakeModel(WireReader& in, ModelData& model) {
    uint8_t axis = 0;
    const bool taken = TakeTexts(in, model.warnings) && TakeSmall(in, 6, axis) &&
                       TakeText(in, model.up.why) &&
                       TakeRecords(in, kMinMaterialBytes, model.materials, TakeMaterial) &&
                       TakeRecords(in, kMinPictureBytes, model.pictures, TakePicture) &&
                       TakeRecords(in, kMinMeshBytes, model.meshes, TakeMesh);
    model.up.axis = static_cast<Axis>(axis);
    return taken;
}

WireAnswer Malformed(const char* why, std::string& text) {
    text = why;
    return WireAnswer::Malformed;
}

}  // namespace

std::vector<uint8_t> EncodeModelData(const ModelData& model) {
    std::vector<uint8_t> out = Start(kModel);
    out.reserve(EncodedSizeAbove(model));
    PutTexts(out, model.warnings);
    Put(out, static_cast<uint8_t>(model.up.axis));
    PutText(out, model.up.why);
    Put(out, uint64_t{model.materials.size()});
    for (const SourceMaterial& material : model.materials) {
        PutText(out, material.name);
        Put(out, material.colour);
        Put(out, material.picture);
    }
    Put(out, uint64_t{model.pictures.size()});
    for (const SourcePicture& picture : model.pictures) {
        Put(out, picture.image.width);
        Put(out, picture.image.height);
        Put(out, static_cast<uint8_t>(picture.image.alpha ? 1 : 0));
        PutArray(out, picture.image.rgba);
        PutText(out, picture.source);
    }
    Put(out, uint64_t{model.meshes.size()});
    for (const SourceMesh& mesh : model.meshes) {
        Put(out, mesh.material);
        PutArray(out, mesh.positions);
        PutArray(out, mesh.normals);
        PutArray(out, mesh.uvs);
        PutArray(out, mesh.colours);
        PutArray(out, mesh.triangles);
    }
    return out;
}

std::vector<uint8_t> EncodeRefusal(const std::string& reason,
                                   const std::vector<std::string>& warnings) {
    std::vector<uint8_t> out = Start(kRefusal);
    PutText(out, reason);
    PutTexts(out, warnings);
    return out;
}

WireAnswer DecodeModelData(const uint8_t* bytes, size_t size, ModelData& model, std::string& text) {
    model = ModelData();
    WireReader in{bytes, size};
    char magic[sizeof(kMagic)] = {};
    uint32_t version = 0;
    uint8_t kind = 0;
    if (size == 0) return Malformed("it is empty", text);
    if (!TakeBytes(in, magic, sizeof(magic)) || std::memcmp(magic, kMagic, sizeof(magic)) != 0) {
        return Malformed("it does not begin as the reader's answers do", text);
    }
    if (!Take(in, version) || version != kVersion) {
        return Malformed("it is of another version of the reader", text);
    }
    const bool taken = TakeSmall(in, 2, kind) &&
                       (kind == kModel ? TakeModel(in, model)
                                       : TakeText(in, text) && TakeTexts(in, model.warnings));
    if (!taken) return Malformed("its counts and fields do not fit the bytes received", text);
    if (in.left > 0) return Malformed("bytes follow its end", text);
    if (kind == kRefusal) return WireAnswer::Refusal;
    return CheckModelData(model, text) ? WireAnswer::Model : WireAnswer::Malformed;
}
