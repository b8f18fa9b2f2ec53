#pragma once

#include <cstdint>

namespace vantor {

// Result codes in the Windows HRESULT convention: callers and the server's objects agree on
// these values, so they are kept rather than replaced by an enum.
using HResult = std::uint32_t;

inline constexpr HResult SOk = 0;
inline constexpr HResult SFalse = 1;
inline constexpr HResult EFail = 0x80004005u;
inline constexpr HResult EInvalidArg = 0x80070057u;
inline constexpr HResult EUnexpected = 0x8000FFFFu;

inline constexpr bool Succeeded(HResult hr) { return (hr & 0x80000000u) == 0; }
inline constexpr bool Failed(HResult hr) { return !Succeeded(hr); }

// An operating-system error number as a failure code: 0x80070000 with its low 16 bits; an error
// that is not positive is taken as it is.
inline constexpr HResult HResultFromError(int error) {
    return error <= 0 ? static_cast<HResult>(error)
                      : (0x80070000u | (static_cast<HResult>(error) & 0xFFFFu));
}

}  // namespace vantor
