// The runtime's exception classes and the text/integer conversions.
#pragma once

#include <string>

// Base of the exceptions the runtime raises and shows.
class Exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    virtual ~Exception() = default;
    std::string Message;
};

// Raised by StrToInt for text that is not an integer.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Decimal or hexadecimal text to a 32-bit integer. Leading spaces are
// skipped; then an optional sign; then an optional hex prefix "$", "x", "X",
// "0x" or "0X". Hex takes at most 8 significant digits, read as 32 bits;
// decimal must fit in a signed 32-bit integer. Anything else raises
// EConvertError "'TEXT' is not a valid integer value".
int StrToInt(const std::string& text);

// Upper-case hex of the value as unsigned 32 bits, zero-padded to at least
// `digits`, never truncated.
std::string IntToHex(int value, int digits);

// The value as signed decimal text ("%i").
std::string IntToStr(int value);
