// The spline working copy: the host's curves, moved in place, with segment
// lengths rebuilt; and the even resampling of one curve by arc length.
#pragma once

#include "fx/abi.h"

void resize(Spline& spline, uint32_t curveCount);
void copyFrom(Spline& spline, const Spline& source, bool copyPoints, bool copyLengths);
void copyFrom(Curve& curve, const Curve& source, bool copyPoints, bool copyLengths);
// Zero-length segments count 0.0001; the closing segment only when closed.
void updateLengths(Curve& curve);
// The rest of updateLengths for curves whose open segments' lengths are
// already written: the closing segments and the total lengths; the running
// sums of several curves advance side by side, each in its own segment order.
void sumLengths(Curve* curves, uint32_t count);
// count points evenly spaced along the curve's stored arc length, from its
// first point; a closed curve ends on its first point again.
void resampleCurve(const Spline& spline, uint32_t curveIndex, uint32_t count, HostVector<Vec3>& out);
void sampleEvenly(const Curve& curve, uint32_t segment, float carry, float step, uint32_t maxCount,
                  HostVector<Vec3>& out);
// Destroys every curve, the curve array and its holder.
void release(Spline& spline);
