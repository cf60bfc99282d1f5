#pragma once

#include "engine/base/type_name.h"
#include "engine/host/audio/audio_codes.h"
#include "engine/res/res_handle.h"
#include "engine/res/resource.h"

namespace kq {

class Buffer;

/// Sound data loaded through `Res` by the `SampleLoader`: a `FlatSample` held whole in
/// memory (sound effects) or a `StreamSample` decoded while it plays (music).
class Sample : public Resource
{
public:
    /// A channel ready to play; 0 when there is none.
    virtual AudioHandle channel() const = 0;
    /// Length in milliseconds; 0 when unknown, without sound data or without a device.
    virtual int length() const = 0;
    /// Builds the sound object from the whole source (null: none); false when it can not.
    /// Without a running audio device the sample loads silent, without sound data.
    virtual bool load(Buffer* source) = 0;

protected:
    /// The length in milliseconds of a sample or channel of the audio library; 0 without one
    /// or a device, and on failure.
    static int length_of(AudioHandle handle);
};

}

KQ_TYPE_NAME(kq::Sample, "class kq::Sample");
KQ_TYPE_NAME(kq::ResHandle<kq::Sample>, "class kq::ResHandle<class kq::Sample>");
