// The host's parameter interface: it copies each name the effect registers,
// reads the kind from the name's suffix ("[b]", "[s]", "[p3x]", ...) and
// keeps the pointer to the float, which lives in the effect and is edited
// in place.
#pragma once

#include <string>
#include <vector>

#include "fx/abi.h"

enum class ParamKind { Flag, Scalar, Point, Bare };

// One call of `add`, as it came.
struct Registration {
    std::string name;    // the full name, copied at the call
    const char* buffer;  // the pointer the library passed
    float* value;
    float initial;  // the float's value at the call
    ParamKind kind;
};

// A parameter as a user sees it: the three coordinates of a point are one.
struct HostParam {
    std::string name;  // without its suffix
    ParamKind kind;
    // One float, or x, y, z of a point (null where a coordinate was never registered).
    float* value[3] = {nullptr, nullptr, nullptr};
    float initial[3] = {0.0f, 0.0f, 0.0f};
};

class ParamHost : public FxParamHost {
public:
    // Virtual for the hosts that add lookups of their own (the tests'); its
    // entries follow the interface's slots, which the library alone reads.
    virtual ~ParamHost() = default;
    void FX_THISCALL add(const char* name, float* value) override;

    const std::vector<Registration>& registrations() const { return registrations_; }
    // In registration order.
    const std::vector<HostParam>& params() const { return params_; }
    // By full name ("speed [s]") and by name ("speed"); null when absent.
    const Registration* registration(const std::string& fullName) const;
    const HostParam* find(const std::string& name) const;

private:
    std::vector<Registration> registrations_;
    std::vector<HostParam> params_;
};

const char* kindName(ParamKind kind);
// A flag is on at 0.5 or more; a NaN is off.
inline bool flagOn(float v) { return v >= 0.5f; }
