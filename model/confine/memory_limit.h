// A cap on the model reader's memory. A hostile file can make assimp reserve memory for counts it
// claims but does not hold and then fill it slowly for minutes; with the address space capped such
// a file fails at once. A model that really needs more is far beyond what the viewer can draw at
// an interactive rate.
#pragma once

// AddressSanitizer's shadow memory alone takes terabytes of address space: no cap under it.
#if defined(__SANITIZE_ADDRESS__)  // GCC
constexpr bool kAddressSanitized = true;
#elif defined(__has_feature)  // clang
constexpr bool kAddressSanitized = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitized = false;
#endif
constexpr bool kMemoryCapped = !kAddressSanitized;

// What a refusal says when the cap was reached.
constexpr const char* kOutOfMemory = "the model reader needed more than 4 GiB";

// Caps this process's address space at 4 GiB, unless it is capped lower already or
// kMemoryCapped is false.
void CapMemory();
