#include "scenefile/diagnostics.h"

#include <cstdarg>
#include <cstdio>

std::vector<std::string>* SceneMessages = nullptr;
int SceneMessageCount = 0;

void beginnotes()
{
    SceneMessageCount = 0;
}

void notescene(long line, const char* format, ...)
{
    if (!SceneMessages)
        return;
    std::vector<std::string>& messages = *SceneMessages;
    // Garbage input can find something on every word; the list stays readable.
    if (SceneMessageCount > SceneMessageLimit)
        return;
    if (SceneMessageCount++ == SceneMessageLimit) {
        messages.push_back("... further messages left out");
        return;
    }
    std::string text = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        const size_t start = text.size();
        text.resize(start + size_t(length) + 1);
        std::vsnprintf(&text[start], size_t(length) + 1, format, again);
        text.resize(start + size_t(length));
    }
    va_end(again);
    messages.push_back(text);
}
