// WriteObj (sceneconvert.h): OBJ with its MTL beside it, same name, extension .mtl.
#include "tools/sceneconvert/sceneconvert.h"

#include "core/safefile.h"
#include "tools/toolfiles.h"

#include <cstdio>

namespace {

std::string basename(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writemtl(std::FILE* file, const Mesh& mesh)
{
    bool ok = std::fputs("# colours of the scene's patterns\n", file) >= 0;
    for (const MeshMaterial& m : mesh.materials)
        ok = std::fprintf(file, "\nnewmtl %s\nKd %.9g %.9g %.9g\nillum 1\n", m.name.c_str(),
                          double(m.color.r), double(m.color.g), double(m.color.b)) > 0 &&
             ok;
    return ok;
}

bool writeobj(std::FILE* file, const Mesh& mesh, const std::string& mtlname)
{
    bool ok = std::fprintf(file, "# written by sceneconvert\nmtllib %s\n", mtlname.c_str()) > 0;
    for (size_t i = 0; i + 2 < mesh.positions.size() && ok; i += 3)
        ok = std::fprintf(file, "v %.9g %.9g %.9g\n", double(mesh.positions[i]),
                          double(mesh.positions[i + 1]), double(mesh.positions[i + 2])) > 0;
    int32_t current = -2;
    size_t start = 0;
    std::string line;
    for (size_t f = 0; f < mesh.faceends.size() && ok; start = mesh.faceends[f++]) {
        const int32_t m = mesh.facematerials[f];
        if (m != current && m >= 0)
            ok = std::fprintf(file, "usemtl %s\n", mesh.materials[size_t(m)].name.c_str()) > 0;
        current = m;
        line = "f";
        for (size_t k = start; k < mesh.faceends[f]; k++)
            line += ' ' + std::to_string(mesh.corners[k] + 1);
        line += '\n';
        ok = ok && std::fputs(line.c_str(), file) >= 0;
    }
    return ok;
}

}  // namespace

std::string mtlpath(const std::string& objpath)
{
    return withextension(objpath, ".mtl");
}

bool WriteObj(const std::string& path, Mesh& mesh)
{
    const std::string mtl = mtlpath(path);
    SafeFile objfile = OpenSafe(path, false);
    SafeFile mtlfile = objfile.file ? OpenSafe(mtl, false) : SafeFile();
    bool ok = objfile.file && mtlfile.file;
    const bool objwritten = ok && writeobj(objfile.file, mesh, basename(mtl));
    // The MTL first: an OBJ that names a missing MTL is worse than an unused MTL.
    ok = CloseSafe(&mtlfile, ok && writemtl(mtlfile.file, mesh)) && ok;
    ok = CloseSafe(&objfile, ok && objwritten) && ok;
    if (!ok)
        mesh.report.error = "cannot write '" + path + "' and '" + mtl + "'";
    return ok;
}
