// The counted byte block every embedded asset is, and what every folder builds on:
// an unsigned 32-bit length, then that many bytes, read-only for the whole run.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

struct ByteBuffer {
    uint32_t length;

    // The bytes lie past the declared object, so the address is formed from the
    // integer value to keep the compiler from bounding reads to sizeof(ByteBuffer).
    const uint8_t* bytes() const
    {
        return reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(this) + sizeof length);
    }
};

// A ByteBuffer made at run time (tests, file reads): same layout, owned storage.
class OwnedByteBuffer {
public:
    OwnedByteBuffer(const void* data, uint32_t length) : storage_(sizeof(uint32_t) + length)
    {
        std::memcpy(storage_.data(), &length, sizeof length);
        if (length != 0)
            std::memcpy(storage_.data() + sizeof length, data, length);
    }
    explicit OwnedByteBuffer(const std::vector<uint8_t>& data)
        : OwnedByteBuffer(data.data(), static_cast<uint32_t>(data.size())) {}

    const ByteBuffer& get() const { return *reinterpret_cast<const ByteBuffer*>(storage_.data()); }

private:
    std::vector<uint8_t> storage_;
};
