#pragma once

// Reference responses for the colour and stereo engine tests (their filters' analogue prototypes);
// the signals and measurements come from TestSignals.h.

#include "TestSignals.h"
#include <complex>
#include <cmath>

namespace colourTest
{
    using vyrTestSignals::pi;

    // Bilinear-transform responses of the analogue second-order prototypes: the exact response of
    // a digital section designed at f0 is the prototype's at the warped frequency. s = j * Omega.
    inline std::complex<double> warpedS (double hz, double f0, double sr)
    {
        return { 0.0, std::tan (pi * hz / sr) / std::tan (pi * f0 / sr) };
    }

    inline std::complex<double> protoLowPass (double hz, double f0, double q, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        return 1.0 / (s * s + s / q + 1.0);
    }

    inline std::complex<double> protoHighPass (double hz, double f0, double q, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        return s * s / (s * s + s / q + 1.0);
    }

    // Shelves and bell with A = 10^(dB/40).
    inline std::complex<double> protoHighShelf (double hz, double f0, double q, double dB, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        const double A = std::pow (10.0, dB / 40.0);
        return A * (A * s * s + std::sqrt (A) / q * s + 1.0) / (s * s + std::sqrt (A) / q * s + A);
    }

    inline std::complex<double> protoLowShelf (double hz, double f0, double q, double dB, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        const double A = std::pow (10.0, dB / 40.0);
        return A * (s * s + std::sqrt (A) / q * s + A) / (A * s * s + std::sqrt (A) / q * s + 1.0);
    }

    inline std::complex<double> protoBell (double hz, double f0, double q, double dB, double sr)
    {
        const auto s = warpedS (hz, f0, sr);
        const double A = std::pow (10.0, dB / 40.0);
        return (s * s + s * (A / q) + 1.0) / (s * s + s / (A * q) + 1.0);
    }
}
