#include "atomic_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "interrupt.h"
#include "kit/errors.h"

namespace fs = std::filesystem;

void writeAtomically(const std::string& target, const std::function<bool(const std::string&)>& write) {
    std::error_code ignored;
    const fs::file_status status = fs::status(target, ignored);
    if (fs::is_directory(status)) throw RunError("cannot write " + target + ": a folder, not a file");
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        // A device or a pipe (/dev/stdout) takes the bytes as they come: it cannot be renamed over.
        errno = 0;
        if (!write(target))
            throw RunError("cannot write " + target + (errno ? std::string(": ") + std::strerror(errno) : ""));
        stopIfInterrupted();
        return;
    }
    // Through a symbolic link, the file it names is replaced and the link stays.
    fs::path path(target);
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(path, ignored)); ++hops) {
        const fs::path to = fs::read_symlink(path, ignored);
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    // Appended piece by piece: GCC 12 at -O3 takes `"." + std::string` for an
    // overlapping copy and warns (-Wrestrict) about its own std::string.
    std::string name(".");
    name.append(path.filename().string()).append(".tmp").append(std::to_string(getpid()));
    const std::string temporary = (path.parent_path() / name).string();
    writingTemporary(temporary);
    bool written = false;
    int error = 0;
    try {
        errno = 0;
        written = write(temporary);
        error = errno;
        stopIfInterrupted();
    } catch (...) {
        writingTemporary("");
        std::remove(temporary.c_str());
        throw;
    }
    writingTemporary("");
    if (!written) {
        std::remove(temporary.c_str());
        throw RunError("cannot write " + target + (error ? std::string(": ") + std::strerror(error) : ""));
    }
    // Replaces an existing target, on Windows too (where std::rename would not).
    std::error_code renameError;
    fs::rename(temporary, path, renameError);
    if (renameError) {
        std::remove(temporary.c_str());
        throw RunError("cannot write " + target + ": " + renameError.message());
    }
}
