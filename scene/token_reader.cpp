#include "scene/token_reader.h"

#include <cerrno>
#include <charconv>  // from_chars: correctly rounded floats beyond the fast path
#include <cmath>     // isinf
#include <cstdlib>   // strtof, for the values from_chars calls out of range
#include <cstring>

namespace {

inline bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool IsDigit(unsigned char c) {
    return static_cast<unsigned>(c - '0') < 10u;
}

// Finds the next token; false when only white space is left.
inline bool NextToken(TokenReader& reader, const char*& first, const char*& last) {
    const char* p = reader.cursor;
    while (p < reader.end && IsSpace(static_cast<unsigned char>(*p))) ++p;
    reader.tokenStart = p;
    if (p == reader.end) {
        reader.cursor = p;
        reader.error = TokenError::Missing;
        return false;
    }
    first = p;
    while (p < reader.end && !IsSpace(static_cast<unsigned char>(*p))) ++p;
    last = p;
    reader.cursor = p;
    return true;
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

TokenError ParseIntToken(const char* first, const char* last, int32_t& value) {
    const char* p = first;
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == last) return TokenError::Malformed;
    unsigned base = 10;
    if (*p == '0') {
        base = 8;
        if (p + 1 < last && (p[1] | 0x20) == 'x') {
            base = 16;
            p += 2;
            if (p == last) return TokenError::Malformed;
        }
    }
    uint64_t magnitude = 0;
    bool tooLarge = false;
    for (; p < last; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        unsigned digit;
        if (IsDigit(c)) {
            digit = c - '0';
        } else if (base == 16 && static_cast<unsigned>((c | 0x20) - 'a') < 6u) {
            digit = (c | 0x20) - 'a' + 10;
        } else {
            return TokenError::Malformed;
        }
        if (digit >= base) return TokenError::Malformed;
        magnitude = magnitude * base + digit;
        if (magnitude > 0x80000000u) {
            tooLarge = true;
            magnitude = 0x80000001u;  // keeps scanning for malformed digits without overflow
        }
    }
    if (tooLarge || magnitude > (negative ? 0x80000000u : 0x7fffffffu)) {
        return TokenError::OutOfRange;
    }
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return TokenError::None;
}

TokenError ParseFloatToken(const char* first, const char* last, float& value) {
    const char* p = first;
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* number = p;  // from_chars takes a minus sign but no plus sign

    // Grammar check and, on the way, the decimal mantissa for the fast path.
    uint64_t mantissa = 0;
    int significantDigits = 0;  // digits in mantissa, leading zeros not counted
    int fractionDigits = 0;     // digits of the mantissa after the point
    bool anyDigit = false;
    for (; p < last && IsDigit(static_cast<unsigned char>(*p)); ++p) {
        anyDigit = true;
        if (mantissa != 0 || *p != '0') {
            ++significantDigits;
            if (significantDigits <= 19) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        }
    }
    if (p < last && *p == '.') {
        for (++p; p < last && IsDigit(static_cast<unsigned char>(*p)); ++p) {
            anyDigit = true;
            ++fractionDigits;
            if (mantissa != 0 || *p != '0') {
                ++significantDigits;
                if (significantDigits <= 19) {
                    mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
                }
            }
        }
    }
    if (!anyDigit) return TokenError::Malformed;
    int64_t exponent = 0;
    if (p < last && (*p | 0x20) == 'e') {
        ++p;
        bool negativeExponent = false;
        if (p < last && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
        if (p == last) return TokenError::Malformed;
        for (; p < last && IsDigit(static_cast<unsigned char>(*p)); ++p) {
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (p != last) return TokenError::Malformed;

    // Fast path: a mantissa and a power of ten that are both exact floats give a correctly
    // rounded result in one float operation.
    const int64_t scale = exponent - fractionDigits;
    if (significantDigits <= 19 && mantissa < kFloatMantissaLimit && scale >= -10 && scale <= 10) {
        float result = static_cast<float>(mantissa);
        result = scale < 0 ? result / kExactPowersOfTen[-scale] : result * kExactPowersOfTen[scale];
        value = negative ? -result : result;
        return TokenError::None;
    }

    const char* start = negative ? number - 1 : number;
    float result = 0.0f;
    const std::from_chars_result parsed = std::from_chars(start, last, result);
    if (parsed.ec == std::errc::result_out_of_range) return ParseOutOfRange(start, last, value);
    if (parsed.ec != std::errc() || parsed.ptr != last) return TokenError::Malformed;
    value = result;
    return TokenError::None;
}

bool ReadInt(TokenReader& reader, int32_t& value) {
    const char *first, *last;
    if (!NextToken(reader, first, last)) return false;
    reader.error = ParseIntToken(first, last, value);
    return reader.error == TokenError::None;
}

bool ReadFloat(TokenReader& reader, float& value) {
    const char *first, *last;
    if (!NextToken(reader, first, last)) return false;
    reader.error = ParseFloatToken(first, last, value);
    return reader.error == TokenError::None;
}

bool ReadName(TokenReader& reader, char* name) {
    const char *first, *last;
    if (!NextToken(reader, first, last)) return false;
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
