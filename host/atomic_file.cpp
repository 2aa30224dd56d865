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
    // Replaces an existing target, on Windows too (where std::rename would not).
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::remove(temporary.c_str());
        throw RunError("cannot write " + target + ": " + error.message());
    }
}
