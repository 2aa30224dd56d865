#include "array_argument.h"

#include <cstring>
#include <utility>

namespace py = pybind11;

namespace {
// The buffer format characters of NumPy's usual types, for messages.
const char* typeName(const char* format, Py_ssize_t itemsize) {
    if (*format == '@' || *format == '=' || *format == '<') ++format;
    struct Known {
        char code;
        const char* name;
    };
    static const Known kKnown[] = {{'d', "float64"}, {'f', "float32"}, {'e', "float16"}, {'b', "int8"},
                                   {'B', "uint8"},   {'h', "int16"},   {'H', "uint16"},  {'?', "bool"},
                                   {'O', "object"}};
    if (format[1] == '\0') {
        for (const Known& k : kKnown)
            if (k.code == format[0]) return k.name;
        if (std::strchr("iIlLqQ", format[0])) {
            const bool isSigned = std::strchr("ilq", format[0]) != nullptr;
            if (itemsize == 4) return isSigned ? "int32" : "uint32";
            if (itemsize == 8) return isSigned ? "int64" : "uint64";
        }
    }
    return nullptr;
}

bool isElement(const Py_buffer& view, Element element) {
    const char* format = view.format ? view.format : "B";
    if (*format == '@' || *format == '=' || *format == '<') ++format;
    if (view.itemsize != 4 || format[0] == '\0' || format[1] != '\0') return false;
    return element == Element::Float32 ? format[0] == 'f' : format[0] == 'I' || format[0] == 'L';
}

std::string tupleText(const Py_ssize_t* values, int count) {
    std::string text = "(";
    for (int i = 0; i < count; ++i) text += (i ? ", " : "") + std::to_string(values[i]);
    return text + (count == 1 ? ",)" : ")");
}
}  // namespace

void refuseValue(const std::string& name, const std::string& why) { throw py::value_error(name + ": " + why); }

void refuseType(const std::string& name, const std::string& why) { throw py::type_error(name + ": " + why); }

ArrayArgument::ArrayArgument(py::handle object, std::string name, Element element, size_t width, long rows,
                             long depth)
    : name_(std::move(name)) {
    const char* wanted = element == Element::Float32 ? "float32" : "uint32";
    const std::string shape = std::string(depth ? "(F, " : "(") + (rows < 0 ? "N" : std::to_string(rows)) + ", " +
                              std::to_string(width) + ")";
    if (PyObject_GetBuffer(object.ptr(), &view_, PyBUF_RECORDS_RO) != 0) {
        PyErr_Clear();
        refuseType(name_, std::string("expected a ") + wanted + " array of shape " + shape + ", got " +
                              std::string(py::str(py::type::handle_of(object).attr("__name__"))));
    }
    held_ = true;
    try {
        check(wanted, shape, element, width, rows, depth);
    } catch (...) {
        PyBuffer_Release(&view_);
        held_ = false;
        throw;
    }
}

void ArrayArgument::check(const char* wanted, const std::string& shape, Element element, size_t width, long rows,
                          long depth) {
    if (!isElement(view_, element)) {
        const char* format = view_.format ? view_.format : "B";
        const char* got = typeName(format, view_.itemsize);
        refuseType(name_, std::string("expected ") + wanted + " elements, got " +
                              (got ? got : "'" + std::string(format) + "'") + " (nothing is converted: astype(numpy." +
                              wanted + ") makes a copy)");
    }
    const int ndim = depth ? 3 : 2;
    const Py_ssize_t* s = view_.shape;
    if (view_.ndim != ndim || s[ndim - 1] != Py_ssize_t(width) || (rows >= 0 && s[ndim - 2] != rows) ||
        (depth > 0 && s[0] != depth))
        refuseValue(name_, "expected shape " + shape + ", got " + tupleText(s, view_.ndim));
    // C-contiguous: each dimension's stride is the size of what it steps over
    // (a dimension of one element may have any stride).
    Py_ssize_t step = 4;
    for (int i = ndim - 1; i >= 0; --i) {
        if (s[i] > 1 && view_.strides[i] != step)
            refuseValue(name_, "expected C-contiguous rows, got strides " + tupleText(view_.strides, ndim) +
                                   " (nothing is copied: numpy.ascontiguousarray makes a copy)");
        step *= s[i];
    }
    rows_ = size_t(s[ndim - 2]);
}

ArrayArgument::~ArrayArgument() {
    if (held_) PyBuffer_Release(&view_);
}

ArrayArgument::ArrayArgument(ArrayArgument&& other) noexcept
    : view_(other.view_), held_(std::exchange(other.held_, false)), name_(std::move(other.name_)), rows_(other.rows_) {}

ArrayArgument& ArrayArgument::operator=(ArrayArgument&& other) noexcept {
    if (this != &other) {
        if (held_) PyBuffer_Release(&view_);
        view_ = other.view_;
        held_ = std::exchange(other.held_, false);
        name_ = std::move(other.name_);
        rows_ = other.rows_;
    }
    return *this;
}

void ArrayArgument::requireWritable(const std::string& as) const {
    if (held_ && view_.readonly) refuseValue(as, "the array is read-only, so the result cannot be written into it");
}
