#pragma once

#include "engine/res/res_loader.h"
#include "engine/res/res_stream.h"

namespace kq {

/// A loader that reads one file found through `Res::open_file`; a typed loader supplies
/// only how to make its resource from the opened file.
class SimpleResLoader : public ResLoader
{
public:
    /// Opens the file through `Res` and makes a record from what `load_from_stream` gives;
    /// empty when the file is missing or not understood.
    SharedPtr<ResRecord> load(ResRequest& request) override;
    /// Cannot store: false.
    bool store(const ResRequest& request, ResRecord& record) override;
    /// False only when the record's source opens a file newer than the record.
    bool is_up_to_date(const ResRecord& record, const ResRequest& request) override;

    /// The resource read from the opened file; empty when the file is not understood.
    virtual SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) = 0;
};

}
