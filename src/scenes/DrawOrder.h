#pragma once
// A scene's draw step: its drawables back to front, each only while it
// exists (pointers into the application's pools, cleared at teardown).

namespace quolis {

template <class... Drawables> void DrawInOrder(Drawables*... drawables) {
    (
        [](auto* d) {
            if (d != nullptr) {
                d->Draw();
            }
        }(drawables),
        ...);
}

} // namespace quolis
