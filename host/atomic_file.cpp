#include "atomic_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "errors.h"

void writeAtomically(const std::string& target, const std::function<bool(const std::string&)>& write) {
    const std::filesystem::path path(target);
    const std::string temporary =
        (path.parent_path() / ("." + path.filename().string() + ".tmp" + std::to_string(getpid()))).string();
    if (!write(temporary)) {
        const int error = errno;
        std::remove(temporary.c_str());
        throw RunError("cannot write " + target + (error ? std::string(": ") + std::strerror(error) : ""));
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        throw RunError("cannot write " + target + ": " + std::strerror(error));
    }
}
