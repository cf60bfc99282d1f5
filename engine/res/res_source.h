#pragma once

#include <string>
#include <string_view>

#include "engine/base/shared_object.h"
#include "engine/res/res_stream.h"

namespace kq {

/// A place that resource files come from.
class ResSource : public SharedObject
{
public:
    /// Opens the named file for reading; empty when it is not there.
    virtual ResStream open(const std::string& name) = 0;
    /// Opens the named file for writing, creating it; empty when the source cannot write.
    virtual ResStream create(const std::string& name) = 0;
    /// Replaces the named file by the content at once, so that no reader (another process
    /// included) meets a part of it; empty on success, else why it was not written.
    virtual std::string replace(const std::string& name, std::string_view content) = 0;
    /// Whether `replace` may succeed at all, asked before a content is made for it; a
    /// source that never writes answers false.
    virtual bool may_replace() const { return true; }
    /// Where the source looks, for error texts (a folder ending in "/"); empty when it has
    /// no such place.
    virtual std::string place() const { return {}; }
    /// Removes what writers killed while replacing files beside the named one left behind
    /// (temporary files of processes that no longer run); each folder is looked at once.
    virtual void remove_stale_temporaries(const std::string& name) { (void)name; }
    /// Turns a full path, in place, into the name relative to this source; false (path left
    /// alone) when the path does not lie in the source.
    virtual bool name_of(std::string& path) = 0;
    /// Turns a name, in place, into the full path of the existing file; false when the file
    /// does not exist.
    virtual bool locate(std::string& name) = 0;
};

}
