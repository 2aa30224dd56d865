// The reference's JSON files as fxhost was built with them (generated).
#pragma once

struct ReferenceFile {
    const char* name;  // without .json
    const char* text;
};

extern const ReferenceFile kReferenceFiles[];
extern const int kReferenceFileCount;
