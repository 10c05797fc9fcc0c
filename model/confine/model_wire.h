// The model reader's answer as it crosses the pipe from its confined process to the importer: the
// model as read, or the reader's refusal, in a binary form of our own. Both ends are the same
// program on the same machine, so numbers travel in the host's byte order:
//   "QVMD", version (u32), kind (u8: 0 model, 1 refusal), then
//   model:    warnings, up axis (u8), up why, materials, pictures, meshes
//   refusal:  reason, warnings
// where a text or an array is its element count (u64) and its elements, and each record its
// fields in the order of model_data.h (a picture's alpha a u8 of 0 or 1). Nothing may follow.
// The reader is not trusted: DecodeModelData survives any bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/records/model_data.h"

std::vector<uint8_t> EncodeModelData(const ModelData& model);
std::vector<uint8_t> EncodeRefusal(const std::string& reason,
                                   const std::vector<std::string>& warnings);

enum class WireAnswer : uint8_t { Model, Refusal, Malformed };

// Decodes the `size` bytes at `bytes`. Every count is checked against the bytes that follow it
// before anything is allocated for it, so a count that claims billions of elements in a short
// answer allocates nothing. Model: `model` holds it and has passed CheckModelData. Refusal:
// `text` is the reader's reason and model.warnings its warnings. Malformed: `text` says what is
// wrong, and `model` is to be thrown away.
WireAnswer DecodeModelData(const uint8_t* bytes, size_t size, ModelData& model, std::string& text);
