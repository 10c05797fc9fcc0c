#include "scene/token_chunks.h"

#include <algorithm>  // max
#include <numeric>    // partial_sum

#include "scene/parallel.h"
#include "scene/token_reader.h"  // IsSpace

#if defined(__SSE2__)
#include <emmintrin.h>  // sixteen bytes a step
#endif

namespace {

// The next token start at or after p.
const char* NextTokenStart(const char* p, const char* begin, const char* end) {
    // Inside a token (the byte before is not white space): to its end first.
    while (p > begin && p < end && !IsSpace(static_cast<unsigned char>(p[-1])) &&
           !IsSpace(static_cast<unsigned char>(*p))) {
        ++p;
    }
    while (p < end && IsSpace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

}  // namespace

int64_t CountTokens(const char* begin, const char* end) {
    int64_t count = 0;
    bool previousSpace = true;  // a token may start at `begin`
    const char* p = begin;
#if defined(__SSE2__)
    // A token starts where a byte that is not white space follows one that is.
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i four = _mm_set1_epi8(4);
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i control = _mm_sub_epi8(bytes, tab);  // tab to carriage return: 0 to 4
        const __m128i space = _mm_or_si128(_mm_cmpeq_epi8(bytes, blank),
                                           _mm_cmpeq_epi8(_mm_min_epu8(control, four), control));
        const unsigned spaces = static_cast<unsigned>(_mm_movemask_epi8(space));
        const unsigned before = (spaces << 1 | (previousSpace ? 1u : 0u)) & 0xFFFFu;
        count += __builtin_popcount(~spaces & before & 0xFFFFu);
        previousSpace = (spaces & 0x8000u) != 0;
    }
#endif
    for (; p < end; ++p) {
        const bool space = IsSpace(static_cast<unsigned char>(*p));
        count += previousSpace && !space;
        previousSpace = space;
    }
    return count;
}

std::vector<TokenChunk> SplitAtTokens(const char* begin, const char* end, int parts) {
    std::vector<TokenChunk> chunks(static_cast<size_t>(parts > 0 ? parts : 1));
    const size_t size = static_cast<size_t>(end - begin);
    const char* start = NextTokenStart(begin, begin, end);
    for (size_t i = 0; i < chunks.size(); ++i) {
        chunks[i].begin = start;
        const char* cut = begin + size * (i + 1) / chunks.size();
        start = i + 1 < chunks.size() ? NextTokenStart(std::max(cut, start), begin, end) : end;
        chunks[i].end = start;
    }
    std::vector<int64_t> counts(chunks.size(), 0);
    RunInParallel(static_cast<int>(chunks.size()) - 1,
                  [&](int i) { counts[i + 1] = CountTokens(chunks[i].begin, chunks[i].end); });
    std::partial_sum(counts.begin(), counts.end(), counts.begin());
    for (size_t i = 0; i < chunks.size(); ++i) chunks[i].firstToken = counts[i];
    return chunks;
}
