// Bounds-checked reads over a byte range (the source buffer or a reservation):
// every offset is checked in 64-bit arithmetic so no sum can wrap past the end.
#pragma once

#include <cstdint>
#include <cstring>

class ImageView {
public:
    ImageView(const uint8_t* bytes, uint64_t size) : bytes_(bytes), size_(size) {}

    bool Contains(uint64_t offset, uint64_t length) const
    {
        return offset <= size_ && length <= size_ - offset;
    }

    template <typename T>
    bool Read(uint64_t offset, T& out) const
    {
        if (!Contains(offset, sizeof out))
            return false;
        std::memcpy(&out, bytes_ + offset, sizeof out);
        return true;
    }

    // The zero-terminated string at offset, or nullptr when it runs past the end.
    const char* String(uint64_t offset) const
    {
        if (offset >= size_)
            return nullptr;
        const void* end = std::memchr(bytes_ + offset, 0, size_ - offset);
        return end ? reinterpret_cast<const char*>(bytes_ + offset) : nullptr;
    }

    const uint8_t* At(uint64_t offset) const { return bytes_ + offset; }
    uint64_t Size() const { return size_; }

private:
    const uint8_t* bytes_;
    uint64_t size_;
};
