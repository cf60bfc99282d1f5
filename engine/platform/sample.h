#pragma once

#include <string>

#include "engine/base/type_name.h"
#include "engine/host/audio/audio_codes.h"
#include "engine/res/res_handle.h"
#include "engine/res/resource.h"

namespace kq {

class AudioLibrary;
class Buffer;

/// Sound data loaded through `Res` by the `SampleLoader`: a `FlatSample` held whole in
/// memory (sound effects) or a `StreamSample` decoded while it plays (music).
class Sample : public Resource
{
public:
    /// A channel ready to play; 0 when there is none.
    virtual AudioHandle channel() const = 0;
    /// Length in milliseconds; 0 when unknown, without sound data or without a device.
    int length() const;
    /// Builds the sound object from the whole source (null: none); false when it can not.
    /// Without a running audio device the sample loads silent, without sound data.
    bool load(Buffer* source);

protected:
    /// The audio library's sample or stream made from the whole file's bytes; 0, reported,
    /// when it makes none.
    virtual AudioHandle make_handle(AudioLibrary& library, const std::string& bytes) = 0;
    /// The library's sample or stream; 0 without sound data or device.
    AudioHandle handle() const { return m_handle; }

private:
    AudioHandle m_handle = 0;
};

}

KQ_TYPE_NAME(kq::Sample, "class kq::Sample");
KQ_TYPE_NAME(kq::ResHandle<kq::Sample>, "class kq::ResHandle<class kq::Sample>");
