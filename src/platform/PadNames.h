#pragma once
// What a game pad calls its buttons. A pad with a known layout (one that
// SDL's game-controller database knows) drives the nine joypad buttons in
// this order, the layout of the PlayStation-style pads the game's default
// bindings were made for:
//
//   0 top face button      (Y on Xbox pads, △ on PlayStation, X on Nintendo)
//   1 right face button    (B, ○, A)      default: cancel
//   2 bottom face button   (A, ×, B)      default: decide
//   3 left face button     (X, □, Y)
//   4 left trigger         (LT, L2, ZL)
//   5 right trigger        (RT, R2, ZR)   default: view distance
//   6 left shoulder        (LB, L1, L)    default: rotate the view left
//   7 right shoulder       (RB, R1, R)    default: rotate the view right
//   8 start                (Start, OPTIONS, +)  default: start
//
// The d-pad and the left stick move the cursor. A pad without a mapping
// gives its raw buttons 0 to 8 as they come.
#include <string>

namespace quolis {

enum class PadStyle {
    None,        // no pad, or one without a known layout (raw buttons)
    Xbox,        // and every mapped pad of unknown make (SDL names them so)
    PlayStation, // PS4 and PS5
    PlayStation3,
    Nintendo,
};

constexpr int kPadButtonCount = 9;

// The pad's own name for joypad button `button` (0..8), UTF-8; empty for a
// raw pad or a button beyond the nine.
std::string PadButtonLabel(PadStyle style, int button);

// The joypad button number in a binding text such as "Button 2", or -1.
int JoypadButtonOfName(const std::string& name);

} // namespace quolis
