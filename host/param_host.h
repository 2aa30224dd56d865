// The host's parameter interface: it copies each name the effect registers,
// reads the kind from the name's suffix and keeps the pointer to the float,
// which lives in the effect and is edited in place.
#pragma once

#include <string>
#include <vector>

#include "fx/abi.h"

enum class ParamKind { Flag, Scalar, Point, Bare };

struct Param {
    std::string name;  // without its suffix
    ParamKind kind;
    // One float, or x, y, z of a point (null where a coordinate was never registered).
    float* value[3] = {nullptr, nullptr, nullptr};
    float initial[3] = {0.0f, 0.0f, 0.0f};
};

class ParamHost final : public FxParamHost {
public:
    void FX_THISCALL add(const char* name, float* value) override;

    // In registration order; the three coordinates of a point share one entry.
    const std::vector<Param>& params() const { return params_; }
    const Param* find(const std::string& name) const;

private:
    std::vector<Param> params_;
};

const char* kindName(ParamKind kind);
// A flag is on at 0.5 or more; a NaN is off.
inline bool flagOn(float v) { return v >= 0.5f; }
