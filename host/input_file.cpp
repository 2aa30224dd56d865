#include "input_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>

#include "kit/errors.h"

namespace {
std::string sizeText(uint64_t bytes) {
    return bytes >= (uint64_t(1) << 30) ? std::to_string(bytes >> 30) + " GiB" : std::to_string(bytes >> 20) + " MiB";
}
}  // namespace

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

bool sameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

std::string readInput(const std::string& path, const std::string& what, uint64_t limit) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw RunError(path + ": a folder, not a " + what + " file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RunError(path + ": cannot open: " + std::strerror(errno));
    std::string text;
    try {
        if (const uint64_t size = std::filesystem::file_size(path, error); !error && size <= limit) text.reserve(size);
        char block[1 << 16];
        while (in.read(block, sizeof block) || in.gcount() > 0) {
            if (text.size() + uint64_t(in.gcount()) > limit)
                throw RunError(path + ": longer than " + sizeText(limit) + ", more than any " + what + " fxhost reads");
            text.append(block, size_t(in.gcount()));
        }
    } catch (const std::bad_alloc&) {
        throw RunError(path + ": too large to hold in memory");
    } catch (const std::length_error&) {
        throw RunError(path + ": too large to hold in memory");
    }
    if (in.bad()) throw RunError(path + ": cannot read");
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // the byte order mark some Windows editors write
    return text;
}
