#include "atomic_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "kit/errors.h"

void writeAtomically(const std::string& target, const std::function<bool(const std::string&)>& write) {
    const std::filesystem::path path(target);
    // Appended piece by piece: GCC 12 at -O3 takes `"." + std::string` for an
    // overlapping copy and warns (-Wrestrict) about its own std::string.
    std::string name(".");
    name.append(path.filename().string()).append(".tmp").append(std::to_string(getpid()));
    const std::string temporary = (path.parent_path() / name).string();
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
