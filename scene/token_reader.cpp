#include "scene/token_reader.h"

#include <cerrno>
#include <charconv>  // from_chars: correctly rounded floats beyond the fast path
#include <cmath>     // isinf
#include <cstdlib>   // strtof, for the values from_chars calls out of range
#include <cstring>

namespace {

inline bool IsDigit(unsigned char c) {
    return static_cast<unsigned>(c - '0') < 10u;
}

inline const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsSpace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

inline const char* SkipToken(const char* p, const char* end) {
    while (p < end && !IsSpace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// Powers of ten that a float holds exactly (5^10 < 2^24).
constexpr float kExactPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr uint64_t kFloatMantissaLimit = uint64_t{1} << 24;

// Values that from_chars calls out of range: strtof tells overflow (refused) from underflow
// (zero or a denormal, accepted), as formatted extraction does.
TokenError ParseOutOfRange(const char* first, const char* last, float& value) {
    char small[128];
    const size_t length = static_cast<size_t>(last - first);
    char* copy = length < sizeof small ? small : static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) return TokenError::OutOfRange;
    std::memcpy(copy, first, length);
    copy[length] = '\0';
    const float result = std::strtof(copy, nullptr);
    if (copy != small) std::free(copy);
    if (std::isinf(result)) return TokenError::OutOfRange;
    value = result;
    return TokenError::None;
}

}  // namespace

TokenReader MakeTokenReader(const char* data, size_t size) {
    TokenReader reader;
    reader.begin = reader.cursor = reader.tokenStart = data;
    reader.end = data + size;
    return reader;
}

namespace {

// The number scanners parse from p and return where their grammar stopped; the caller decides
// whether the token ends there. One scanner serves the file readers and the single-token parsers.
inline const char* ScanInt(const char* p, const char* end, int32_t& value, TokenError& error) {
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || !IsDigit(static_cast<unsigned char>(*p))) {
        error = TokenError::Malformed;
        return p;
    }
    uint64_t magnitude = 0;
    bool tooLarge = false;
    if (*p != '0') {  // decimal, the common case
        const char* first = p;
        for (; p < end && IsDigit(static_cast<unsigned char>(*p)); ++p) {
            magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
            if (p - first >= 10) tooLarge = true, magnitude = 0;
        }
    } else if (p + 1 < end && (p[1] | 0x20) == 'x') {
        p += 2;
        const char* first = p;
        for (; p < end; ++p) {
            const unsigned c = static_cast<unsigned char>(*p);
            unsigned digit;
            if (IsDigit(c)) {
                digit = c - '0';
            } else if ((c | 0x20) - 'a' < 6u) {
                digit = (c | 0x20) - 'a' + 10;
            } else {
                break;
            }
            magnitude = magnitude * 16 + digit;
            if (magnitude > 0xffffffffu) tooLarge = true, magnitude = 0;
        }
        if (p == first) {
            error = TokenError::Malformed;
            return p;
        }
    } else {
        for (; p < end && static_cast<unsigned>(*p - '0') < 8u; ++p) {
            magnitude = magnitude * 8 + static_cast<unsigned>(*p - '0');
            if (magnitude > 0xffffffffu) tooLarge = true, magnitude = 0;
        }
    }
    if (tooLarge || magnitude > (negative ? 0x80000000u : 0x7fffffffu)) {
        error = TokenError::OutOfRange;
        return p;
    }
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    error = TokenError::None;
    return p;
}

inline const char* ScanFloat(const char* p, const char* end, float& value, TokenError& error) {
    const char* first = p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';

    // Grammar check and, on the way, the decimal mantissa for the fast path. Leading zeros do
    // not count as significant; beyond 19 significant digits the mantissa is not used.
    uint64_t mantissa = 0;
    int significantDigits = 0;
    int fractionDigits = 0;
    const char* digits = p;
    for (; p < end && IsDigit(static_cast<unsigned char>(*p)); ++p) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        significantDigits += mantissa != 0;
    }
    bool anyDigit = p != digits;
    if (p < end && *p == '.') {
        const char* fraction = ++p;
        for (; p < end && IsDigit(static_cast<unsigned char>(*p)); ++p) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
            significantDigits += mantissa != 0;
        }
        fractionDigits = static_cast<int>(p - fraction);
        anyDigit = anyDigit || p != fraction;
    }
    if (!anyDigit) {
        error = TokenError::Malformed;
        return p;
    }
    int64_t exponent = 0;
    bool exponentClipped = false;  // too long to hold: the fast path cannot know the scale
    if (p < end && (*p | 0x20) == 'e') {
        ++p;
        bool negativeExponent = false;
        if (p < end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
        if (p == end || !IsDigit(static_cast<unsigned char>(*p))) {
            error = TokenError::Malformed;
            return p;
        }
        for (; p < end && IsDigit(static_cast<unsigned char>(*p)); ++p) {
            if (exponent < 100000) {
                exponent = exponent * 10 + (*p - '0');
            } else {
                exponentClipped = true;
            }
        }
        if (negativeExponent) exponent = -exponent;
    }

    // Fast path: a mantissa and a power of ten that are both exact floats give a correctly
    // rounded result in one float operation.
    const int64_t scale = exponent - fractionDigits;
    if (!exponentClipped && significantDigits <= 19 && mantissa < kFloatMantissaLimit &&
        scale >= -10 && scale <= 10) {
        float result = static_cast<float>(mantissa);
        result = scale < 0 ? result / kExactPowersOfTen[-scale] : result * kExactPowersOfTen[scale];
        value = negative ? -result : result;
        error = TokenError::None;
        return p;
    }

    // from_chars takes a minus sign but no plus sign.
    const char* start = *first == '+' ? first + 1 : first;
    float result = 0.0f;
    const std::from_chars_result parsed = std::from_chars(start, p, result);
    if (parsed.ec == std::errc::result_out_of_range) {
        error = ParseOutOfRange(start, p, value);
    } else if (parsed.ec != std::errc() || parsed.ptr != p) {
        error = TokenError::Malformed;
    } else {
        value = result;
        error = TokenError::None;
    }
    return p;
}

template <typename T, typename Scanner>
inline TokenError ParseWholeToken(const char* first, const char* last, T& value, Scanner scan) {
    TokenError error = TokenError::None;
    const char* stop = scan(first, last, value, error);
    return error == TokenError::None && stop != last ? TokenError::Malformed : error;
}

// Reads the next token with `scan`; the token must end where the scanner stopped.
template <typename T, typename Scanner>
inline bool ReadNumber(TokenReader& reader, T& value, Scanner scan) {
    const char* p = SkipSpace(reader.cursor, reader.end);
    reader.tokenStart = p;
    if (p == reader.end) {
        reader.cursor = p;
        reader.error = TokenError::Missing;
        return false;
    }
    T scanned = value;
    TokenError error = TokenError::None;
    const char* stop = scan(p, reader.end, scanned, error);
    if (stop < reader.end && !IsSpace(static_cast<unsigned char>(*stop))) {
        error = error == TokenError::None ? TokenError::Malformed : error;
        stop = SkipToken(stop, reader.end);
    }
    reader.cursor = stop;
    reader.error = error;
    if (error != TokenError::None) return false;
    value = scanned;
    return true;
}

}  // namespace

TokenError ParseIntToken(const char* first, const char* last, int32_t& value) {
    return ParseWholeToken(first, last, value, ScanInt);
}

TokenError ParseFloatToken(const char* first, const char* last, float& value) {
    return ParseWholeToken(first, last, value, ScanFloat);
}

bool ReadInt(TokenReader& reader, int32_t& value) {
    return ReadNumber(reader, value, ScanInt);
}

bool ReadFloat(TokenReader& reader, float& value) {
    return ReadNumber(reader, value, ScanFloat);
}

bool ReadName(TokenReader& reader, char* name) {
    const char* first = SkipSpace(reader.cursor, reader.end);
    reader.tokenStart = first;
    const char* last = reader.cursor = SkipToken(first, reader.end);
    if (first == last) {
        reader.error = TokenError::Missing;
        return false;
    }
    const size_t length = static_cast<size_t>(last - first);
    if (length > kMaxNameLength) {
        reader.error = TokenError::TooLong;
        return false;
    }
    if (std::memchr(first, '\0', length) != nullptr) {  // no path can hold it
        reader.error = TokenError::Malformed;
        return false;
    }
    std::memcpy(name, first, length);
    name[length] = '\0';
    reader.error = TokenError::None;
    return true;
}

TextPosition PositionOf(const char* text, size_t offset) {
    TextPosition position;
    for (size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++position.line;
            position.column = 1;
        } else {
            ++position.column;
        }
    }
    return position;
}

const char* DescribeTokenError(TokenError error) {
    switch (error) {
        case TokenError::None:
            return "no error";
        case TokenError::Missing:
            return "the file ends where a value was expected";
        case TokenError::Malformed:
            return "not a valid value of the expected kind";
        case TokenError::OutOfRange:
            return "number out of range";
        case TokenError::TooLong:
            return "name longer than 79 characters";
    }
    return "unknown error";
}

std::string DescribeTokenFault(const TokenReader& reader) {
    std::string text = DescribeTokenError(reader.error);
    const char* last = SkipToken(reader.tokenStart, reader.end);
    if (last == reader.tokenStart) return text;  // the text ended: no token to show
    constexpr ptrdiff_t kShown = 40;
    const char* shownEnd = last - reader.tokenStart > kShown ? reader.tokenStart + kShown : last;
    text += ": '";
    for (const char* p = reader.tokenStart; p < shownEnd; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c > ' ' && c < 0x7f) {
            text += static_cast<char>(c);
        } else {
            static const char kHex[] = "0123456789abcdef";
            text += {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
        }
    }
    return text + (shownEnd < last ? "...'" : "'");
}

bool Refuse(const TokenReader& reader, LoadProblem* problem, std::string message) {
    if (problem != nullptr) {
        problem->offset = static_cast<size_t>(reader.tokenStart - reader.begin);
        const TextPosition position = PositionOf(reader.begin, problem->offset);
        problem->line = position.line;
        problem->column = position.column;
        problem->message = std::move(message);
    }
    return false;
}

bool RefuseToken(const TokenReader& reader, LoadProblem* problem, const std::string& what) {
    return Refuse(reader, problem, what + ": " + DescribeTokenFault(reader));
}
