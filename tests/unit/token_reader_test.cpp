// Guards the number and name rules every text file relies on.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
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

// What formatted extraction makes of a token: the reference the reader must match bit for bit.
bool StreamFloat(const std::string& token, float& value) {
    std::istringstream in(token);
    in >> value;
    return !in.fail() && in.peek() == EOF;
}

uint32_t Bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

// Catches a reader that ignores the base prefix or accepts half a token.
TEST(TokenReader, IntegersTakeTheirBaseFromThePrefix) {
    const struct {
        const char* token;
        int32_t value;
    } good[] = {{"010", 8},
                {"0x10", 16},
                {"0X1f", 31},
                {"-2", -2},
                {"+7", 7},
                {"0", 0},
                {"-0x10", -16},
                {"2147483647", 2147483647},
                {"-2147483648", INT32_MIN},
                {"017777777777", 2147483647},
                {"0x7fffffff", 2147483647}};
    for (const auto& c : good) {
        int32_t value = 12345;
        EXPECT_EQ(ParseInt(c.token, value), TokenError::None) << c.token;
        EXPECT_EQ(value, c.value) << c.token;
    }
    const char* malformed[] = {"08", "0x", "1.5", "12abc", "-", "+", "--1", "0xg", "1e3", "\0"};
    for (const char* token : malformed) {
        int32_t value = 0;
        EXPECT_EQ(ParseInt(token, value), TokenError::Malformed) << token;
    }
    for (const char* token : {"2147483648", "0x80000000", "-2147483649", "99999999999999999999"}) {
        int32_t value = 0;
        EXPECT_EQ(ParseInt(token, value), TokenError::OutOfRange) << token;
    }
}

// Catches floats that differ from formatted extraction, even in the last bit.
TEST(TokenReader, FloatsMatchFormattedExtraction) {
    const char* tokens[] = {"1.5",
                            "-2",
                            "3e1",
                            ".5",
                            "5.",
                            "-7.987000",
                            "0.1",
                            "1e-45",
                            "1e-46",
                            "3.4028235e38",
                            "1.17549435e-38",
                            "16777217",
                            "0.000000000000000000000000001",
                            "123456789.123456789",
                            "-0",
                            "+0.25",
                            "1E+2",
                            "2.5e-3",
                            "9999999999999999999999999",
                            "0.30000001192092896",
                            "1.00000005960464477539062500000000000000000000000001"};
    for (const char* token : tokens) {
        float expected = 0.0f, value = 0.0f;
        ASSERT_TRUE(StreamFloat(token, expected)) << token;
        ASSERT_EQ(ParseFloat(token, value), TokenError::None) << token;
        EXPECT_EQ(Bits(value), Bits(expected)) << token;
    }
    for (const char* token :
         {"abc", "1.5.2", "e5", ".", "1e", "1e+", "inf", "nan", "0x1p3", "1,5"}) {
        float value = 0.0f;
        EXPECT_EQ(ParseFloat(token, value), TokenError::Malformed) << token;
    }
    for (const char* token : {"1e39", "-1e39", "1e99999999999"}) {
        float value = 0.0f;
        EXPECT_EQ(ParseFloat(token, value), TokenError::OutOfRange) << token;
    }
}

// Catches a fast path that rounds differently from the correctly rounded reference, in any bit.
TEST(TokenReader, MillionsOfDecimalsMatchFromChars) {
    std::mt19937_64 random(42);
    const auto digitsOf = [&](int count) {
        std::string digits;
        for (int d = 0; d < count; ++d) digits += static_cast<char>('0' + random() % 10);
        return digits;
    };
    for (int i = 0; i < 3000000; ++i) {
        std::string token = (random() % 3 == 0) ? "-" : (random() % 8 == 0 ? "+" : "");
        switch (i % 6) {
            case 0:  // the common shape: a few digits, six decimals
                token += digitsOf(1 + random() % 3) + "." + digitsOf(6);
                break;
            case 1:  // long mantissas, beyond what a float or a 64-bit integer holds
                token += digitsOf(1 + random() % 12) + "." + digitsOf(1 + random() % 25);
                break;
            case 2:  // halfway cases between two floats near 2^24 and beyond
                token +=
                    std::to_string((uint64_t{1} << (24 + random() % 8)) + 1 + 2 * (random() % 64));
                break;
            case 3:  // denormals and underflow
                token += digitsOf(1 + random() % 9) + "e-" + std::to_string(36 + random() % 16);
                break;
            case 4:  // large exponents, some beyond the float range
                token += "0." + digitsOf(1 + random() % 8) + "e" + std::to_string(random() % 42);
                break;
            default:  // leading zeros in both parts
                token += "000" + digitsOf(random() % 4) + ".000" + digitsOf(1 + random() % 7);
                break;
        }
        float value = 0.0f, expected = 0.0f;
        const char* first = token.data() + (token[0] == '+');
        const auto reference = std::from_chars(first, token.data() + token.size(), expected);
        if (reference.ec == std::errc::result_out_of_range) {
            expected = std::strtof(token.c_str(), nullptr);  // underflow to 0, overflow to inf
        }
        if (std::isinf(expected)) {
            ASSERT_EQ(ParseFloat(token, value), TokenError::OutOfRange) << token;
            continue;
        }
        ASSERT_EQ(ParseFloat(token, value), TokenError::None) << token;
        ASSERT_EQ(Bits(value), Bits(expected)) << token;
    }
}

// Catches line breaks or tabs treated differently from spaces, and lost positions.
TEST(TokenReader, WhiteSpaceOfAnyKindSeparatesTokens) {
    const std::string text = " 1\t-2\n\r 3.5\v\fname  \n";
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
    EXPECT_STREQ(name, "name");
    EXPECT_FALSE(ReadInt(reader, a));
    EXPECT_EQ(reader.error, TokenError::Missing);
    EXPECT_EQ(a, 1) << "a failed read leaves the value alone";

    const TextPosition position = PositionOf(text.data(), text.find("3.5"));
    EXPECT_EQ(position.line, 2);
    EXPECT_EQ(position.column, 3);
}

// Catches names that would overflow an 80-character buffer.
TEST(TokenReader, NamesHoldAtMost79Characters) {
    char name[kMaxNameLength + 1];
    const std::string longest(79, 'n'), tooLong(80, 'n');
    TokenReader reader = MakeTokenReader(longest.data(), longest.size());
    ASSERT_TRUE(ReadName(reader, name));
    EXPECT_EQ(std::strlen(name), 79u);
    reader = MakeTokenReader(tooLong.data(), tooLong.size());
    EXPECT_FALSE(ReadName(reader, name));
    EXPECT_EQ(reader.error, TokenError::TooLong);
    const std::string withNul("a\0b", 3);
    reader = MakeTokenReader(withNul.data(), withNul.size());
    EXPECT_FALSE(ReadName(reader, name));
}
