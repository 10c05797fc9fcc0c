// The one token reader behind the object, camera and scene files.
//
// Tokens are runs of characters between white space (space, tab, line feed, vertical tab, form
// feed, carriage return); line breaks mean nothing more than any other white space. Numbers
// follow formatted stream extraction with the base taken from the prefix:
//   integer  [+-]? ( 0[xX]hex+ | 0 octal* | [1-9] decimal* ), within 32 bits signed
//   float    [+-]? ( digits [. digits?] | . digits ) ( [eE] [+-]? digits )?, correctly rounded
//            to the nearest 32-bit float; a value beyond the float range is refused, one below
//            it becomes zero, as stream extraction does
//   name     any token of at most kMaxNameLength characters (no NUL byte)
// A token must match its kind whole: "1.5" is not an integer and "12abc" not a number.
// Every read says whether it succeeded; after a failure, `error` tells why and `tokenStart`
// points at the offending token (or at the end of the text when a token was missing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "scene/load_problem.h"

enum class TokenError : uint8_t {
    None,
    Missing,     // the text ended before the token
    Malformed,   // the token is not of the kind asked for
    OutOfRange,  // a number too large for its type
    TooLong,     // a name longer than kMaxNameLength
};

constexpr size_t kMaxNameLength = 79;  // a name fits a buffer of 80 characters

// White space between tokens: space, tab, line feed, vertical tab, form feed, carriage return.
inline bool IsSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

struct TokenReader {
    const char* begin = nullptr;  // the whole text
    const char* end = nullptr;
    const char* cursor = nullptr;      // where the next token is looked for
    const char* tokenStart = nullptr;  // start of the token read last
    TokenError error = TokenError::None;
};

TokenReader MakeTokenReader(const char* data, size_t size);

bool ReadInt(TokenReader& reader, int32_t& value);
bool ReadFloat(TokenReader& reader, float& value);
// Copies the name into `name` (capacity kMaxNameLength + 1) with a terminating NUL.
bool ReadName(TokenReader& reader, char* name);

// Bytes from the cursor to the end: an upper bound for what the rest of the text can hold.
inline size_t RemainingBytes(const TokenReader& reader) {
    return static_cast<size_t>(reader.end - reader.cursor);
}

// Whether the rest of the text can hold `tokens` more tokens, each at least one character with
// white space before it. Checked before counts read from a file are allocated: a short file
// claiming billions of records allocates nothing.
inline bool CanHoldTokens(const TokenReader& reader, uint64_t tokens) {
    return tokens <= RemainingBytes(reader) / 2;
}

// Parses one complete token [first, last) as a float, exactly as ReadFloat does.
TokenError ParseFloatToken(const char* first, const char* last, float& value);
// Parses one complete token [first, last) as an integer, exactly as ReadInt does.
TokenError ParseIntToken(const char* first, const char* last, int32_t& value);

// Line and column (both from 1) of a byte offset, for messages that point into a file.
struct TextPosition {
    int line = 1;
    int column = 1;
};
TextPosition PositionOf(const char* text, size_t offset);
// A short description of a token error ("missing number", ...).
const char* DescribeTokenError(TokenError error);
// The last read's failure for a message: its description and, where there was a token, the token
// in quotes ("...: '1.2.3'"), cut short when long and with unprintable bytes as \xNN.
std::string DescribeTokenFault(const TokenReader& reader);

// A refusal at the token read last: `problem` (when given) gets its place and `message`. False,
// for the reader to return.
bool Refuse(const TokenReader& reader, LoadProblem* problem, std::string message);
// The same for the last read's own failure: "what: its description".
bool RefuseToken(const TokenReader& reader, LoadProblem* problem, const std::string& what);
