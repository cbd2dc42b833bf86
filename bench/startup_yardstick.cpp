// The yardstick of the start-up profile: what any SDL2 + OpenGL 3.3 +
// SDL2_mixer program pays before it does anything of its own. It starts SDL,
// opens an 800 × 622 OpenGL 3.3 core window the way the game does (offscreen
// when SDL_VIDEODRIVER says so), clears and presents one frame, opens the
// audio device as the game's mixer does, and exits.
#include <SDL.h>
#include <SDL_mixer.h>
#include <epoxy/gl.h>

#include "platform/sdl/StartupReport.h"

#include <cstdio>

int main(int, char**) {
    quolis::StartupReport report;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "startup_yardstick: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_Window* window =
        SDL_CreateWindow("startup yardstick", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800,
                         622, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window != nullptr ? SDL_GL_CreateContext(window) : nullptr;
    if (context == nullptr) {
        std::fprintf(stderr, "startup_yardstick: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);

    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        Mix_OpenAudioDevice(44100, AUDIO_S16SYS, 2, 1024, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    }

    glViewport(0, 0, 800, 622);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    report.FramePresented();

    Mix_CloseAudio();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
