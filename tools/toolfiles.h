// toolfiles.h - what the command-line programs ask of the files they are given.
//
//   unreadablewhy(path)           why path cannot be read, "" when it can (a first byte is read)
//   withextension(path, ext)      path with its extension, if any, replaced by ext (".png")
#pragma once

#include <string>

std::string unreadablewhy(const std::string& path);
std::string withextension(const std::string& path, const char* ext);
