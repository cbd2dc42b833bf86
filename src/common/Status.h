#pragma once
// Result codes shared by every subsystem: 0 success, negative failure,
// E_FAIL the common failure (the COM convention the game's data and
// scene code are written against).
#include <cstdint>

namespace quolis {

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

inline bool Failed(HRESULT hr) {
    return hr < 0;
}
inline bool Succeeded(HRESULT hr) {
    return hr >= 0;
}

} // namespace quolis
