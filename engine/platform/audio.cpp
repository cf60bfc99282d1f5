#include "engine/platform/audio.h"

#include <algorithm>

#include "engine/base/tstream.h"
#include "engine/host/audio/make_audio_output.h"
#include "engine/platform/sample_loader.h"
#include "engine/res/res.h"
#include "engine/res/skin.h"

namespace kq {

namespace {

constexpr int output_rate = 44100;
constexpr int full_global_volume = 10000;

}

Audio::Audio(std::unique_ptr<AudioOutput> output) : Service("audio"), m_library(std::move(output)) {}

Audio::~Audio() = default;

Audio* Audio::active()
{
    Audio* audio = instance();
    if (!audio)
        return nullptr;
    audio->report_render_failure();
    return audio->m_initialised ? audio : nullptr;
}

void Audio::report_render_failure()
{
    const std::string failure = m_library.take_render_failure();
    if (!failure.empty())
        log() << "Audio output failed, silence played: " << failure.c_str() << t_io::endl;
}

void Audio::initialize()
{
    m_groups.clear();
    m_initialised = m_library.init(AudioOutput::default_device, output_rate);
    if (m_initialised) {
        log() << "BASS audio system init successful" << t_io::endl;
        log() << "Audio output driver: " << m_library.driver().c_str() << t_io::endl;
        if (!m_library.set_config(AudioConfig::pause_no_play, 0))
            bass_check("BASS_SetConfig(BASS_CONFIG_PAUSE_NOPLAY, FALSE)");
    } else {
        bass_check("Initialization");
        log() << "BASS audio system init failed, using no sound" << t_io::endl;
        if (!m_library.init(AudioOutput::silent_device, output_rate))
            bass_check("BASS_Init(0, 44100, 0, null, null)");
    }
    Res::instance()->add_loader(type_name<Sample>(), SharedPtr<ResLoader>(new SampleLoader));
}

void Audio::shutdown()
{
    if (m_fade_task && Mainframe::instance())
        Mainframe::remove_task(m_fade_task);
    m_fade_task = 0;
    stop_music({0, 0});
    if (Res* res = Res::instance())
        res->unload([](StrCache type, const ResKey&, const ResRecord&) { return type == type_name<Sample>(); });
    report_render_failure();
    if (m_initialised) {
        if (!m_library.stop())
            bass_check("BASS_Stop()");
        if (!m_library.free())
            bass_check("BASS_Free()");
        m_initialised = false;
    }
    log() << "Bass audio system shutdown." << t_io::endl;
}

float Audio::group_volume(int group) const
{
    const auto found = m_groups.find(group);
    return found == m_groups.end() ? 1.0f : found->second.volume;
}

void Audio::set_group_volume(float volume, int group)
{
    // Kept without a device too, so that the players' settings read back as they were set.
    VolumeGroup& target = m_groups[group];
    target.volume = volume;
    for (Sound* sound : target.sounds)
        sound->reapply_volume();
}

void Audio::add_to_group(Sound* sound, int group)
{
    m_groups[group].sounds.insert(sound);
}

void Audio::remove_from_group(Sound* sound, int group)
{
    const auto found = m_groups.find(group);
    if (found != m_groups.end())
        found->second.sounds.erase(sound);
}

void Audio::set_global_volume(bool mute)
{
    const int volume = mute ? 0 : full_global_volume;
    if (!m_library.set_config(AudioConfig::sample_volume, volume))
        bass_check("BASS_SetConfig(BASS_CONFIG_GVOL_SAMPLE, v)");
    if (!m_library.set_config(AudioConfig::stream_volume, volume))
        bass_check("BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, v)");
}

float Audio::pan_for_x(float x) const
{
    const float half = m_pan_width / 2.0f;
    return std::clamp((x - half) / half, -1.0f, 1.0f);
}

void bass_check(const std::string& call_text)
{
    Audio* audio = Audio::instance();
    if (!audio)
        return;
    const int code = audio->library().error_code();
    if (code != audio_error::ok)
        audio->log() << "Bass error in function " << call_text.c_str() << ", code: " << code << t_io::endl;
}

void start_audio_service()
{
    require_mainframe("audio");
    require_service("audio", Res::instance() != nullptr, "res");
    require_service("audio", Skin::instance() != nullptr, "skin");
    start_service(new Audio(make_audio_output()));
}

void stop_audio_service()
{
    stop_service(Audio::instance());
}

}
