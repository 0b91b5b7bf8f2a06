// The one owner behind every handle, DC, selection and memory block: holds a value,
// gives it to its Close exactly once, moves but never copies. Portable and header-only,
// using nothing of the standard library, so the skin engine (no C runtime) can use it.
#pragma once

// The value that owns nothing: a null pointer or handle, unless a kind says otherwise.
template <typename T>
struct InvalidIsNull {
    static constexpr T Value() { return T(); }
};

// Close is called as close(value) on the value being given up; it may carry what the
// release needs besides the value (the window of a DC, the DC of a selection) and is
// moved along with the value. Invalid::Value() is the value that is never closed.
// A stateless Close costs no space: the owner is as large as the value.
template <typename T, typename Close, typename Invalid = InvalidIsNull<T>>
class UniqueResource : private Close {
public:
    UniqueResource() noexcept : Close(), value_(Invalid::Value()) {}
    explicit UniqueResource(T value, Close close = Close()) noexcept : Close(close), value_(value) {}
    ~UniqueResource() { reset(); }

    UniqueResource(UniqueResource&& other) noexcept : Close(other.closer()), value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            reset();
            Close::operator=(other.closer());
            value_ = other.release();
        }
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid::Value(); }
    const Close& closer() const noexcept { return *this; }

    // Gives the value up without closing it.
    T release() noexcept
    {
        const T value = value_;
        value_ = Invalid::Value();
        return value;
    }
    // Closes what is held (if anything) with the current Close, then holds value.
    void reset(T value = Invalid::Value()) noexcept
    {
        const T old = value_;
        value_ = value;
        if (old != Invalid::Value())
            static_cast<const Close&>(*this)(old);
    }

private:
    T value_;
};
