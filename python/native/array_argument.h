// An array argument taken through the buffer protocol, never through
// NumPy's C API: any NumPy (or any other exporter) hands its memory as it
// is. Nothing is converted or copied; an array of the wrong element type,
// shape or layout is refused with a message that names the argument.
#pragma once

#include <pybind11/pybind11.h>

#include <cstddef>
#include <string>

enum class Element { Float32, UInt32 };

class ArrayArgument {
public:
    ArrayArgument() = default;
    // `rows` -1: any number of rows; `depth` 0: two dimensions (rows, width),
    // otherwise three (depth, rows, width). Throws TypeError for an object
    // without a buffer or of another element type, ValueError for a shape or
    // strides other than C-contiguous rows.
    ArrayArgument(pybind11::handle object, std::string name, Element element, size_t width, long rows = -1,
                  long depth = 0);
    ~ArrayArgument();
    ArrayArgument(ArrayArgument&& other) noexcept;
    ArrayArgument& operator=(ArrayArgument&& other) noexcept;
    ArrayArgument(const ArrayArgument&) = delete;
    ArrayArgument& operator=(const ArrayArgument&) = delete;

    bool given() const { return held_; }
    const std::string& name() const { return name_; }
    size_t rows() const { return rows_; }
    void* data() const { return view_.buf; }
    template <class T>
    T* as() const {
        return static_cast<T*>(view_.buf);
    }
    // Throws ValueError, naming the array `as`, for an array the result cannot be written into.
    void requireWritable(const std::string& as) const;

private:
    void check(const char* wanted, const std::string& shape, Element element, size_t width, long rows, long depth);

    Py_buffer view_{};
    bool held_ = false;
    std::string name_;
    size_t rows_ = 0;
};

// A ValueError or TypeError whose message starts with the argument's name.
[[noreturn]] void refuseValue(const std::string& name, const std::string& why);
[[noreturn]] void refuseType(const std::string& name, const std::string& why);
