// A text cut into chunks at token starts, each knowing the index of its first token, so that
// threads can read one chunk each and still put every token where it belongs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TokenChunk {
    const char* begin;   // the first token's start (or `end` of the text)
    const char* end;     // where the next chunk begins
    int64_t firstToken;  // index of the chunk's first token, counted from the text's start
};

// The tokens (runs of characters other than white space) that start in [begin, end).
int64_t CountTokens(const char* begin, const char* end);

// Cuts [begin, end), which starts at a token or at white space, into `parts` chunks of about
// equal size, each starting at a token. The tokens before each chunk are counted in parallel.
std::vector<TokenChunk> SplitAtTokens(const char* begin, const char* end, int parts);
