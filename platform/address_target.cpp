// Scheme detection for addresses handed to the shell. A scheme is letters, then
// letters, digits, '+', '-' or '.', then ':'; "www.host.com:8080" and
// "localhost:80" are hosts with ports, not schemes.
#include "platform/address_target.h"

#include <cstring>

namespace {

constexpr const char kWebScheme[] = "http://";

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSchemeChar(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '+' || c == '-' || c == '.'; }

} // namespace

bool AddressHasScheme(const char* address)
{
    if (!address || !IsAsciiLetter(address[0]))
        return false;
    size_t end = 1;
    while (IsSchemeChar(address[end]))
        ++end;
    if (address[end] != ':')
        return false;
    const char* rest = address + end + 1;
    if (std::strncmp(rest, "//", 2) == 0)
        return true;
    // Without "//" a dotted name or a number after the colon is a host and its port.
    const bool dotted = std::memchr(address, '.', end) != nullptr;
    return !dotted && !IsAsciiDigit(rest[0]);
}

std::string ShellTarget(const char* address)
{
    if (!address)
        return std::string();
    if (address[0] == '\0' || AddressHasScheme(address))
        return address;
    return std::string(kWebScheme) + address;
}
