// MD5 message digest (RFC 1321) through the RFC's init, update and final
// steps on a caller-owned context, and GetMd5String for a whole string. The
// digest functions allocate nothing: the context lives with the caller.
#pragma once

#include <cstdint>
#include <string>

struct Md5Context {
    uint32_t state[4];        // chaining values A, B, C, D
    uint32_t count[2];        // bits absorbed so far, low word first
    unsigned char buffer[64]; // input not yet transformed
};

void Md5Init(Md5Context* context);
void Md5Update(Md5Context* context, const void* input, uint32_t length);
// Writes the 16-byte digest, then wipes the context; Md5Init before reuse.
void Md5Final(unsigned char digest[16], Md5Context* context);
// One compression step on a 64-byte block.
void Md5Transform(uint32_t state[4], const unsigned char block[64]);

// The digest of every byte of the text, as 32 lowercase hexadecimal digits.
std::string GetMd5String(std::string text);
