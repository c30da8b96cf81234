// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Asks a window for its UI Automation provider, the first question a screen
// reader puts to a window it meets. Qt answers only once asked, and raises
// UI Automation events from then on; the checks under Wine have no screen
// reader, so this stands in for one. What the events carry is for the
// caller to read.
// Usage: uia_client TITLE [SECONDS]  waits that long (default 60) for the window
#include <uiautomation.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

enum class Answer { NoWindow, NoProvider, Provider };

Answer ask(const char* title, int seconds) {
    Answer answer = Answer::NoWindow;
    for (int tenth = 0; tenth < seconds * 10; ++tenth) {
        HWND window = FindWindowA(nullptr, title);
        if (window != nullptr) {
            DWORD_PTR result = 0;
            // A window that hangs must fail the check, not stop it.
            const LRESULT sent = SendMessageTimeoutA(window, WM_GETOBJECT, 0, UiaRootObjectId,
                                                     SMTO_ABORTIFHUNG, 10000, &result);
            if (sent != 0 && result != 0) {
                return Answer::Provider;
            }
            // Qt ignores the question while the program is still starting.
            answer = Answer::NoProvider;
        }
        Sleep(100);
    }
    return answer;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: uia_client TITLE [SECONDS]\n");
        return 2;
    }
    const char* title = argv[1];
    const int seconds = argc == 3 ? std::atoi(argv[2]) : 60;
    switch (ask(title, seconds)) {
    case Answer::NoWindow:
        std::fprintf(stderr, "no window \"%s\" within %d s\n", title, seconds);
        return 1;
    case Answer::NoProvider:
        std::fprintf(stderr, "the window \"%s\" gave no UI Automation provider\n", title);
        return 1;
    case Answer::Provider:
        std::printf("the window \"%s\" gave its UI Automation provider\n", title);
        return 0;
    }
    return 1;
}
