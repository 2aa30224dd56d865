#include "apng.h"

#include <stb_image_write.h>

#include <array>
#include <cstring>
#include <fstream>

#include "atomic_file.h"
#include "kit/errors.h"

namespace {
uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

uint32_t getU32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    putU32(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putU32(out, crc32(&out[start], out.size() - start) ^ 0xFFFFFFFFu);
}

// A frame encoded as a still PNG: its header and its compressed image data.
struct Encoded {
    std::vector<uint8_t> header, data;
};

Encoded encode(const Image& image) {
    std::vector<uint8_t> png;
    const auto append = [](void* context, void* data, int size) {
        auto* bytes = static_cast<const uint8_t*>(data);
        static_cast<std::vector<uint8_t>*>(context)->insert(static_cast<std::vector<uint8_t>*>(context)->end(), bytes,
                                                             bytes + size);
    };
    if (!stbi_write_png_to_func(append, &png, image.width, image.height, 3, image.rgb.data(), image.width * 3))
        throw RunError("cannot encode a picture as PNG");
    Encoded e;
    for (size_t at = 8; at + 12 <= png.size();) {  // after the signature: length, type, data, crc
        const uint32_t length = getU32(&png[at]);
        const uint8_t* data = &png[at + 8];
        if (std::memcmp(&png[at + 4], "IHDR", 4) == 0) e.header.assign(data, data + length);
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) e.data.insert(e.data.end(), data, data + length);
        at += 12 + length;
    }
    return e;
}
}  // namespace

void writeAnimatedPng(const std::string& path, const std::vector<Image>& frames, int fps) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    uint32_t sequence = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const Encoded e = encode(frames[i]);
        if (i == 0) {
            chunk(out, "IHDR", e.header);
            std::vector<uint8_t> control;
            putU32(control, uint32_t(frames.size()));
            putU32(control, 0);  // loop for ever
            chunk(out, "acTL", control);
        }
        std::vector<uint8_t> frame;
        putU32(frame, sequence++);
        putU32(frame, uint32_t(frames[i].width));
        putU32(frame, uint32_t(frames[i].height));
        putU32(frame, 0);  // x offset
        putU32(frame, 0);  // y offset
        frame.insert(frame.end(), {0, 1, uint8_t(fps >> 8), uint8_t(fps), 0, 0});  // delay 1/fps, no dispose, no blend
        chunk(out, "fcTL", frame);
        if (i == 0) {
            chunk(out, "IDAT", e.data);
        } else {
            std::vector<uint8_t> data;
            putU32(data, sequence++);
            data.insert(data.end(), e.data.begin(), e.data.end());
            chunk(out, "fdAT", data);
        }
    }
    chunk(out, "IEND", {});
    writeAtomically(path, [&out](const std::string& temporary) {
        std::ofstream file(temporary, std::ios::binary);
        file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
        return bool(file);
    });
}
