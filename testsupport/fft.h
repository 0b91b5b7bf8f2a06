// An in-place radix-2 FFT for the signal checks of tests and tools (sound matching,
// band energies): plain, exact enough, and no library to install.
#pragma once

#include <cmath>
#include <complex>
#include <utility>
#include <vector>

// a.size() must be a power of two; the inverse transform is scaled by 1/n.
inline void Fft(std::vector<std::complex<double>>& a, bool inverse = false)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    const double pi = std::acos(-1.0);
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, (inverse ? 2 : -2) * pi / static_cast<double>(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < len / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    if (inverse)
        for (std::complex<double>& x : a)
            x /= static_cast<double>(n);
}
