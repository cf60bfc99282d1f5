#pragma once

// A running audio service on the null output, over a resource folder of sound files that
// the tests write, with the "audio" log captured.
#include <fstream>

#include <gtest/gtest.h>

#include "engine/base/mainframe.h"
#include "engine/host/audio/null/null_audio_output.h"
#include "engine/platform/audio.h"
#include "engine/platform/sample.h"
#include "engine/res/res.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/host/audio/test_sounds.h"

namespace kq::test {

class AudioFixture : public testing::Test
{
protected:
    explicit AudioFixture(bool has_device = true)
    {
        Mainframe::create();
        m_res->read_root_file(m_dir.path() + "default.root");
        auto output = std::make_unique<NullAudioOutput>(has_device);
        m_output = output.get();
        m_audio = new Audio(std::move(output));
        start_service(m_audio);
    }

    ~AudioFixture() override
    {
        stop_service(m_audio);
        Mainframe::destroy();
    }

    /// Writes a file into the resource folder.
    void write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(m_dir.file(name), std::ios::binary) << bytes;
    }

    /// A handle of the sample at the path: flags 0 a flat sample, 1 a stream.
    static ResHandle<Sample> handle(const std::string& path, int flags = 0)
    {
        return ResHandle<Sample>(ResKey{path, flags});
    }

    /// Mixes frames of the output, as the device would.
    std::vector<float> pull(int frames) { return m_output->pull(frames); }

    /// The left side of the next output frame.
    float next_left() { return pull(1).at(0); }

    LogCapture m_log;
    TempDir m_dir;
    SharedPtr<Res> m_res{new Res};
    NullAudioOutput* m_output = nullptr;
    Audio* m_audio = nullptr;
};

/// A WAV file of one value held for `frames` frames at 44100 Hz, mono.
inline std::string level_wav(std::int16_t value, int frames)
{
    return make_wav(std::vector<std::int16_t>(std::size_t(frames), value), 1, 44100);
}

}
