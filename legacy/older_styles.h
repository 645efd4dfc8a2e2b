#pragma once

#include <cstdint>
#include <memory>

#include "older_channels.h"

class QV_IoStream;

// The effects an older shape carries: values only, read from the older shape record and written
// as the values of the current style of the same index.
namespace vorn_v4 {

class M_ShapeStyle {
public:
    virtual ~M_ShapeStyle();
    virtual int32_t StyleType() const;
    virtual bool ReadRecord(QV_IoStream* stream);
    virtual void WriteCurrentRecord(QV_IoStream* stream);
    virtual int32_t AnimDuration() const;
};

// Null for an index the older format does not have.
std::unique_ptr<M_ShapeStyle> CreateShapeStyle(int32_t index);

} // namespace vorn_v4
