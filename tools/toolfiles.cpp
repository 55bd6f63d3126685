// unreadablewhy, withextension (toolfiles.h).
#include "tools/toolfiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

std::string unreadablewhy(const std::string& path)
{
    // The loaders take a file they cannot open for an empty one; a tool must say so.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::strerror(errno);
    std::fgetc(file);
    const std::string why = std::ferror(file) ? std::strerror(errno) : "";
    std::fclose(file);
    return why;
}

std::string withextension(const std::string& path, const char* ext)
{
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.find_last_of('.');
    const bool hasext = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasext ? path.substr(0, dot) : path) + ext;
}
