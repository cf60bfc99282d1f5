#pragma once

#include "engine/base/shared_object.h"
#include "engine/base/shared_ptr.h"
#include "engine/res/res_record.h"
#include "engine/res/res_request.h"

namespace kq {

/// Turns files into resources of one type; registered with `Res` under the type's name.
class ResLoader : public SharedObject
{
public:
    /// Whether records of this loader stay loaded after their last handle lets them go.
    virtual bool keep_when_unused() const { return true; }
    /// Loads the request (which the loader may change); empty when this loader cannot.
    virtual SharedPtr<ResRecord> load(ResRequest& request) = 0;
    /// Writes the resource of the record back; whether it could.
    virtual bool store(const ResRequest& request, ResRecord& record) = 0;
    /// Whether the loaded resource still matches its file.
    virtual bool is_up_to_date(const ResRecord& record, const ResRequest& request) = 0;
};

}
