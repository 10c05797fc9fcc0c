// Any bytes through every kind of read: no read may overrun the text or loop forever.
#include <cstddef>
#include <cstdint>

#include "scene/token_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    TokenReader reader = MakeTokenReader(text, size);
    char name[kMaxNameLength + 1];
    for (size_t step = 0; reader.cursor < reader.end; ++step) {
        const char* before = reader.cursor;
        int32_t integer = 0;
        float number = 0.0f;
        switch (step % 3) {
            case 0: ReadInt(reader, integer); break;
            case 1: ReadFloat(reader, number); break;
            default: ReadName(reader, name); break;
        }
        if (reader.cursor <= before && reader.error != TokenError::Missing) __builtin_trap();
        if (reader.cursor > reader.end) __builtin_trap();
    }
    PositionOf(text, size);
    return 0;
}
