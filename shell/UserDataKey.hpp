#pragma once

#include <cstddef>
#include <string>

// The user data file is stored scrambled so that players do not edit it by accident. The same
// key serves the game and the tavric tool; files written with one key read only with the same.
namespace vrk {

inline constexpr unsigned char userDataKey[32] = {0x5a, 0x13, 0xc7, 0x8e, 0x21, 0xf4, 0x6b, 0x92, 0x3d, 0xa8, 0x07,
                                                  0xe5, 0x71, 0x4c, 0xb9, 0x1f, 0x86, 0x2e, 0xd3, 0x58, 0x0a, 0x9f,
                                                  0x64, 0xc1, 0x37, 0xeb, 0x15, 0x7c, 0xa2, 0x49, 0xf0, 0x9d};

// Exclusive-or of byte i with key byte (i mod 32): the same call scrambles and unscrambles.
inline void scrambleUserData(std::string& bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ userDataKey[i % 32]);
}

} // namespace vrk
