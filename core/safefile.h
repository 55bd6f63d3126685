// safefile.h - writing a file so that it ends up whole or untouched.
//
// The new contents go to a temporary file beside the target, which replaces
// the target only once every write, the flush and the close succeeded. The
// temporary file is created exclusively (whatever already sits at its name, a
// planted symbolic link included, is never opened or reused) under a short
// name nobody can predict, so a path close to the Windows limit still leaves
// room for it; it is removed on every failure. A target that is a symbolic
// link is written through: the link stays a link and the file it names gets
// the new contents. When no file can be created in the target's folder (a
// folder the user may not write, a path too long for one more name), an
// existing target that may be written is written in place instead; should
// that write fail, its old bytes are put back.
//
//   OpenSafe(path, binary)   start writing the file at path; .file is null when no way is open
//   CloseSafe(&safe, ok)     finish: with ok and every write good the target holds the new
//                            contents and true is returned; else it keeps the old ones
//   SameFile(a, b)           both paths reach one existing file (links, other spellings)
#pragma once

#include <cstdio>
#include <string>

struct SafeFile {
    std::FILE* file = nullptr;
    std::string target;     // the file that receives the contents, links followed
    std::string temporary;  // empty when written in place
    std::string old;        // the target's bytes before an in-place write
};

SafeFile OpenSafe(const std::string& path, bool binary);
bool CloseSafe(SafeFile* safe, bool ok);
bool SameFile(const std::string& a, const std::string& b);
