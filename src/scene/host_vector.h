// Helpers for the host's array layout. The library's own arrays are
// allocated with operator new so that growth is the only allocation.
#pragma once

#include <cstring>
#include <new>

#include "fx/abi.h"

template <class T>
inline uint32_t count(const HostVector<T>& v) {
    return v.begin ? static_cast<uint32_t>(v.end - v.begin) : 0u;
}

// An absent array counts as empty.
template <class T>
inline uint32_t count(const HostVector<T>* v) {
    return v ? count(*v) : 0u;
}

template <class T>
inline uint32_t capacity(const HostVector<T>& v) {
    return v.begin ? static_cast<uint32_t>(v.capacityEnd - v.begin) : 0u;
}

// Grows or shrinks to n elements, keeping the leading ones. Storage is
// reallocated only when n exceeds the capacity; added elements are
// left as they are unless `fill` is given.
template <class T>
inline void resize(HostVector<T>& v, uint32_t n) {
    const uint32_t old = count(v);
    if (n > capacity(v)) {
        T* storage = static_cast<T*>(::operator new(sizeof(T) * n));
        if (old) std::memcpy(static_cast<void*>(storage), v.begin, sizeof(T) * old);
        ::operator delete(v.begin);
        v.begin = storage;
        v.capacityEnd = storage + n;
    }
    v.end = v.begin ? v.begin + n : nullptr;
}

template <class T>
inline void resize(HostVector<T>& v, uint32_t n, T fill) {
    const uint32_t old = count(v);
    resize(v, n);
    for (uint32_t i = old; i < n; ++i) v.begin[i] = fill;
}

template <class T>
inline void freeStorage(HostVector<T>& v) {
    ::operator delete(v.begin);
    v.begin = v.end = v.capacityEnd = nullptr;
}

template <class T>
inline HostVector<T>* newHostVector() {
    return new HostVector<T>{0u, nullptr, nullptr, nullptr};
}

// Frees the storage and the holder, and nulls the pointer.
template <class T>
inline void deleteHostVector(HostVector<T>*& v) {
    if (!v) return;
    freeStorage(*v);
    delete v;
    v = nullptr;
}
