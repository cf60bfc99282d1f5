// The music channel of the audio service and its cross-fader.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "engine/base/clock.h"
#include "engine/base/exception.h"
#include "engine/platform/audio.h"

namespace kq {

namespace {

constexpr std::int64_t fade_period_ms = 10;

// The record's sample, loaded when needed; a sample that can not be loaded is no music.
const Sample* music_sample(MusicInfo& info)
{
    try {
        return info.sample.get();
    } catch (const Exception&) {
        return nullptr;
    }
}

// The share of a phase that has passed.
float phase_share(std::int64_t now, std::int64_t start, int length_ms)
{
    return float(double(now - start) * 0.001 / (double(length_ms) * 0.001));
}

}

void Audio::play_music(const MusicInfo& info, const MusicFade& fade)
{
    const std::int64_t now = time_ms();
    MusicInfo& target = m_fade_state == fading_out ? m_next : m_current;
    if (target.sample == info.sample && info.start_time == MusicInfo::resume_start) {
        target.volume = info.volume;
        if (m_fade_state == idle)
            set_music_level(info.volume);
        fade_step();
        return;
    }
    switch (m_fade_state) {
    case idle:
        m_phase_start = now;
        m_fade_state = fading_out;
        m_fade_out_ms = fade.fade_out_ms;
        m_fade_in_ms = fade.fade_in_ms;
        break;
    case fading_out:
        m_fade_in_ms = fade.fade_in_ms;
        break;
    case fading_in:
        // The fade-out starts from the level reached and lasts as long as the fade-in ran.
        m_current.volume = m_music_level;
        m_fade_state = fading_out;
        m_fade_in_ms = fade.fade_in_ms;
        m_fade_out_ms = int(now - m_phase_start);
        m_phase_start = now;
        break;
    }
    m_next = info;
    fade_step();
}

void Audio::play_music_path(const ResHandle<Sample>& sample, const MusicFade& fade)
{
    MusicInfo info;
    info.sample = sample;
    play_music(info, fade);
}

void Audio::stop_music(const MusicFade& fade)
{
    play_music(MusicInfo(), fade);
}

void Audio::current_music(MusicInfo& out)
{
    out = m_current;
    out.start_time = m_music.position();
}

void Audio::set_music_level(float level)
{
    if (std::fabs(m_music_level - level) < FLT_EPSILON)
        return;
    m_music_level = level;
    m_music.set_volume(level);
}

void Audio::start_next_music(const Sample* sample, std::int64_t now)
{
    m_music.play(sample, true, 0.0f, 0.0f, m_next.start_time);
    m_phase_start = std::min(now, m_phase_start + m_fade_out_ms);
    m_music_level = 0.0f;
    m_fade_state = fading_in;
}

void Audio::fade_step()
{
    const std::int64_t now = time_ms();
    bool changed = false;
    if (m_fade_state == fading_out) {
        const Sample* old_sample = music_sample(m_current);
        if (old_sample && now < m_phase_start + m_fade_out_ms) {
            set_music_level(m_current.volume * (1.0f - phase_share(now, m_phase_start, m_fade_out_ms)));
            changed = true;
        } else {
            const Sample* new_sample = music_sample(m_next);
            if (old_sample != new_sample) {
                if (old_sample)
                    m_positions[old_sample] = m_music.position();
                if (new_sample) {
                    if (m_next.start_time == MusicInfo::resume_start) {
                        const auto known = m_positions.find(new_sample);
                        m_next.start_time = known == m_positions.end() ? 0 : known->second;
                    }
                    start_next_music(new_sample, now);
                } else {
                    m_music.stop();
                    m_fade_state = idle;
                }
            } else if (new_sample) {
                start_next_music(new_sample, now);
            }
            m_current = m_next;
        }
    }
    if (m_fade_state == fading_in) {
        if (music_sample(m_current) && now < m_phase_start + m_fade_in_ms) {
            set_music_level(m_current.volume * phase_share(now, m_phase_start, m_fade_in_ms));
            changed = true;
        } else {
            set_music_level(m_current.volume);
            m_fade_state = idle;
        }
    }
    if (!m_fade_task && changed) {
        m_fade_task = Mainframe::add_task([this] { fade_step(); }, 0, fade_period_ms, Mainframe::periodic);
    } else if (m_fade_task && !changed) {
        Mainframe::remove_task(m_fade_task);
        m_fade_task = 0;
    }
}

}
