// Guards the number and name rules every text file relies on.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "scene/token_reader.h"

namespace {

TokenError ParseInt(const std::string& token, int32_t& value) {
    return ParseIntToken(token.data(), token.data() + token.size(), value);
}

TokenError ParseFloat(const std::string& token, float& value) {
    return ParseFloatToken(token.data(), token.data() + token.size(), value);
}

uint32_t Bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

// Catches a reader that ignores the base prefix, accepts half a token or wraps a value that does
// not fit 32 bits.
TEST(TokenReader, IntegersTakeTheirBaseFromThePrefix) {
    std::istringstream good("010 0x10 0X1f -0x10 +7 0 -2147483648 017777777777 0x7fffffff");
    for (const int32_t expected : {8, 16, 31, -16, 7, 0, INT32_MIN, INT32_MAX, INT32_MAX}) {
        std::string token;
        good >> token;
        int32_t value = 0;
        EXPECT_EQ(ParseInt(token, value), TokenError::None) << token;
        EXPECT_EQ(value, expected) << token;
    }
    int32_t value = 0;
    std::istringstream malformed("08 0x 1.5 12abc - + --1 0xg 1e3");
    for (std::string token; malformed >> token;) {
        EXPECT_EQ(ParseInt(token, value), TokenError::Malformed) << token;
    }
    EXPECT_EQ(ParseInt(std::string(1, '\0'), value), TokenError::Malformed);
    std::istringstream outOfRange("2147483648 0x80000000 -2147483649 99999999999999999999");
    for (std::string token; outOfRange >> token;) {
        EXPECT_EQ(ParseInt(token, value), TokenError::OutOfRange) << token;
    }
}

// Catches floats that differ from formatted extraction, even in the last bit, and malformed or
// out-of-range tokens taken as numbers.
TEST(TokenReader, FloatsMatchFormattedExtraction) {
    std::istringstream good(
        "1.5 -2 3e1 2.5e-3 .5 5. -7.987000 0.1 1e-45 1e-46 3.4028235e38 1.17549435e-38 16777217 -0 "
        "+0.25 1E+2 0.000000000000000000000000001 123456789.123456789 9999999999999999999999999 "
        "0.30000001192092896 1.00000005960464477539062500000000000000000000000001");
    for (std::string token; good >> token;) {
        std::istringstream in(token);
        float expected = 0.0f, value = 0.0f;
        in >> expected;
        ASSERT_FALSE(in.fail()) << token;
        ASSERT_EQ(in.peek(), EOF) << token;
        ASSERT_EQ(ParseFloat(token, value), TokenError::None) << token;
        EXPECT_EQ(Bits(value), Bits(expected)) << token;
    }
    float value = 0.0f;
    std::istringstream malformed("abc 1.5.2 e5 . 1e 1e+ inf nan 0x1p3 1,5");
    for (std::string token; malformed >> token;) {
        EXPECT_EQ(ParseFloat(token, value), TokenError::Malformed) << token;
    }
    // The last: an exponent too long to hold must not meet a fraction as long on the fast path.
    const std::string longFraction = "0." + std::string(100004, '0') + "1e1000000";
    for (const std::string& token :
         {std::string("1e39"), std::string("-1e39"), std::string("1e99999999999"), longFraction}) {
        EXPECT_EQ(ParseFloat(token, value), TokenError::OutOfRange) << token.substr(0, 20);
    }
}

// Catches a fast path that rounds differently from the correctly rounded reference, in any bit.
TEST(TokenReader, MillionsOfDecimalsMatchFromChars) {
    std::mt19937_64 random(42);
    const auto digits = [&](int count) {
        std::string text;
        for (int d = 0; d < count; ++d) text += static_cast<char>('0' + random() % 10);
        return text;
    };
    const std::function<std::string()> shapes[] = {
        [&] { return digits(1 + random() % 3) + "." + digits(6); },  // the common shape
        // long mantissas, beyond what a float or a 64-bit integer holds
        [&] { return digits(1 + random() % 12) + "." + digits(1 + random() % 25); },
        // halfway cases between two floats near 2^24 and beyond
        [&] {
            return std::to_string((uint64_t{1} << (24 + random() % 8)) + 1 + 2 * (random() % 64));
        },
        // denormals and underflow
        [&] { return digits(1 + random() % 9) + "e-" + std::to_string(36 + random() % 16); },
        // large exponents, some beyond the float range
        [&] { return "0." + digits(1 + random() % 8) + "e" + std::to_string(random() % 42); },
        // leading zeros in both parts
        [&] { return "000" + digits(random() % 4) + ".000" + digits(1 + random() % 7); }};
    for (int i = 0; i < 1000000; ++i) {
        std::string token = (random() % 3 == 0) ? "-" : (random() % 8 == 0 ? "+" : "");
        token += shapes[i % 6]();
        float value = 0.0f, expected = 0.0f;
        const char* first = token.data() + (token[0] == '+');
        const auto reference = std::from_chars(first, token.data() + token.size(), expected);
        if (reference.ec == std::errc::result_out_of_range) {
            expected = std::strtof(token.c_str(), nullptr);  // underflow to 0, overflow to inf
        }
        const TokenError error = ParseFloat(token, value);
        ASSERT_EQ(error, std::isinf(expected) ? TokenError::OutOfRange : TokenError::None) << token;
        if (error == TokenError::None) {
            ASSERT_EQ(Bits(value), Bits(expected)) << token;
        }
    }
}

// Catches line breaks or tabs treated differently from spaces, lost positions, a failed read
// that changes the value, and names that would overflow an 80-character buffer.
TEST(TokenReader, WhiteSpaceOfAnyKindSeparatesTokens) {
    const std::string text = " 1\t-2\n\r 3.5\v\f" + std::string(79, 'n') + "  \n";
    TokenReader reader = MakeTokenReader(text.data(), text.size());
    int32_t a = 0, b = 0;
    float c = 0;
    char name[kMaxNameLength + 1];
    ASSERT_TRUE(ReadInt(reader, a));
    ASSERT_TRUE(ReadInt(reader, b));
    ASSERT_TRUE(ReadFloat(reader, c));
    ASSERT_TRUE(ReadName(reader, name));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, -2);
    EXPECT_EQ(c, 3.5f);
    EXPECT_EQ(std::string(name), std::string(79, 'n'));
    EXPECT_FALSE(ReadInt(reader, a));
    EXPECT_EQ(reader.error, TokenError::Missing);
    EXPECT_EQ(a, 1);
    reader = MakeTokenReader("99999999999x", 12);  // too large, whatever follows
    EXPECT_FALSE(ReadInt(reader, a));
    EXPECT_EQ(reader.error, TokenError::OutOfRange);
    const TextPosition position = PositionOf(text.data(), text.find("3.5"));
    EXPECT_EQ(position.line, 2);
    EXPECT_EQ(position.column, 3);

    for (const std::string& bad : {std::string(80, 'n'), std::string("a\0b", 3)}) {
        reader = MakeTokenReader(bad.data(), bad.size());
        EXPECT_FALSE(ReadName(reader, name)) << bad.size();
    }
}
