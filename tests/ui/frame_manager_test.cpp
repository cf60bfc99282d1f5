#include "engine/ui/frame_manager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>

#include "engine/host/audio/null/null_audio_output.h"
#include "engine/platform/audio.h"
#include "engine/res/res.h"
#include "engine/ui/control_initer.h"
#include "tests/art/art_tree_support.h"
#include "tests/base/log_capture.h"
#include "tests/base/temp_dir.h"
#include "tests/host/audio/test_sounds.h"
#include "tests/ui/ui_fixture.h"

namespace kq::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

/// A frame that journals its hooks and clicks under its name.
class JournalFrame : public Frame
{
public:
    JournalFrame(std::vector<std::string>& journal, std::string name) : m_journal(journal), m_name(std::move(name))
    {
        place(*this, {0, 0}, {1024, 768});
        on_click().connect([this] { note("click"); }, this);
    }
    ~JournalFrame() override { detach(); }

    void on_suspended() override { note("suspended"); }
    void on_resumed() override { note("resumed"); }
    void on_activated() override { note("activated"); }
    void on_deactivated() override { note("deactivated"); }

private:
    void note(const std::string& what) { m_journal.push_back(what + " " + m_name); }

    std::vector<std::string>& m_journal;
    std::string m_name;
};

// A frame manager over the whole root, with an audio service on the null output whose music
// the frames choose among three sample files.
class FrameTest : public UiFixture
{
protected:
    FrameTest()
        : UiFixture(R"(
            themed : control_defaults { music "b.wav" }
            silent : control_defaults { music "empty" }
          )")
    {
        for (const char* name : {"a.wav", "b.wav", "c.wav"})
            std::ofstream(m_dir.file(name), std::ios::binary)
                << make_wav(std::vector<std::int16_t>(44100 * 4, 4096), 1, 44100);
        m_res->read_root_file(m_dir.path() + "default.root");
        m_audio = new Audio(std::make_unique<NullAudioOutput>(true));
        start_service(m_audio);
        place(m_manager, {0, 0}, {1024, 768});
        Control::attach_to_parent(&m_manager, &root());
    }
    ~FrameTest() override
    {
        m_manager.detach();
        stop_service(m_audio);
    }

    SharedPtr<JournalFrame> frame(const std::string& name)
    {
        return SharedPtr<JournalFrame>(new JournalFrame(m_journal, name));
    }
    static MusicInfo music(const std::string& path, int start_time = 0)
    {
        MusicInfo info;
        info.sample = ResHandle<Sample>(ResKey{path, 1});
        info.start_time = start_time;
        return info;
    }
    std::string playing()
    {
        MusicInfo current;
        m_audio->current_music(current);
        return current.sample.path();
    }
    /// Runs the scheduler (the UI's frames, the music fader) until the clock reads `ms`.
    void run_until(std::int64_t ms) { Mainframe::wait(ms - m_clock.time); }
    int captures() const { return int(std::count(m_artist.calls.begin(), m_artist.calls.end(), "capture")); }
    /// The colour of the captured picture laid over the next frame, if it is drawn.
    std::optional<std::uint32_t> overlay()
    {
        m_artist.batches.clear();
        ui().draw_frame();
        for (const RecordedBatch& batch : m_artist.batches)
            if (batch.texture >= 1000)
                return batch.vertices.at(0).color;
        return std::nullopt;
    }

    TempDir m_dir;
    SharedPtr<Res> m_res{new Res};
    Audio* m_audio = nullptr;
    FrameManager m_manager;
    std::vector<std::string> m_journal;
};

TEST_F(FrameTest, FadesWithoutKeysChangeFramesAtOnce)
{
    const auto a = frame("a");
    const auto b = frame("b");
    m_manager.push_frame(a, Fade());
    m_manager.push_frame(b, Fade(0, 0));
    EXPECT_EQ(captures(), 0);
    EXPECT_FALSE(m_manager.is_fading());
    EXPECT_FALSE(m_manager.is_disabled());
    EXPECT_FALSE(a->is_visible(a->state()));
    EXPECT_TRUE(b->is_visible(b->state()));
    EXPECT_EQ(m_manager.top(), b.get());
    EXPECT_THAT(m_journal, ElementsAre("activated a", "suspended a", "deactivated a", "activated b"));

    m_journal.clear();
    m_manager.pop_frame(nullptr, Fade());
    EXPECT_THAT(m_journal, ElementsAre("deactivated b", "activated a", "resumed a"));
    EXPECT_TRUE(a->is_visible(a->state()));
    EXPECT_FALSE(b->is_attached());
    EXPECT_FALSE(m_manager.contains(b.get()));

    m_manager.pop_frame(nullptr, Fade());
    LogCapture log;
    m_manager.pop_frame(nullptr, Fade());
    EXPECT_THAT(log.text("error"), HasSubstr("Frames stack empty."));
}

TEST_F(FrameTest, AFadeCoversTheOldScreenToBlackThenUncoversTheNewOneRefusingInput)
{
    const auto a = frame("a");
    const auto b = frame("b");
    m_manager.push_frame(a, Fade());
    m_clock.time = 1000;
    m_manager.push_frame(b, Fade(400, 300));
    EXPECT_EQ(captures(), 1);
    EXPECT_TRUE(m_manager.is_disabled());

    struct Case
    {
        int at_ms;
        std::optional<std::uint32_t> overlay;
    };
    const Case cases[] = {
        {0, packed(1, 1, 1, 1)},   {200, packed(0.5f, 0.5f, 0.5f, 1)}, {400, packed(0, 0, 0, 1)},
        {550, packed(0, 0, 0, 0.5f)}, {699, packed(0, 0, 0, 1.0f / 300)}, {700, std::nullopt},
    };
    m_journal.clear();
    for (const Case& c : cases) {
        m_clock.time = 1000 + c.at_ms;
        click_at({500, 400});
        const std::optional<std::uint32_t> drawn = overlay();
        ASSERT_EQ(drawn.has_value(), c.overlay.has_value()) << c.at_ms;
        if (drawn) {
            for (int shift : {0, 8, 16, 24})
                EXPECT_NEAR(int((*drawn >> shift) & 0xFF), int((*c.overlay >> shift) & 0xFF), 1) << c.at_ms;
        }
    }
    EXPECT_FALSE(m_manager.is_fading());
    EXPECT_FALSE(m_manager.is_disabled());
    EXPECT_TRUE(m_journal.empty()) << "no click during the fade";
    click_at({500, 400});
    EXPECT_THAT(m_journal, ElementsAre("click b"));
}

TEST_F(FrameTest, ARunningFadeGoesOnUnlessTheNewOneInterrupts)
{
    m_manager.push_frame(frame("a"), Fade());
    m_clock.time = 1000;
    m_manager.push_frame(frame("b"), Fade(400, 300));
    m_clock.time = 1100;
    const auto c = frame("c");
    m_manager.push_frame(c, Fade(400, 300));
    EXPECT_EQ(m_manager.top(), c.get()) << "the frame changes at once";
    EXPECT_EQ(captures(), 1);
    m_clock.time = 1699;
    EXPECT_TRUE(overlay());
    m_clock.time = 1700;
    EXPECT_FALSE(overlay());

    Fade interrupting(400, 300);
    interrupting.m_interrupt = true;
    interrupting.m_disable_input = false;
    m_clock.time = 2000;
    m_manager.push_frame(frame("d"), Fade(400, 300));
    m_clock.time = 2100;
    m_manager.push_frame(frame("e"), interrupting);
    EXPECT_EQ(captures(), 3);
    EXPECT_FALSE(m_manager.is_disabled()) << "this fade leaves input on";
    m_clock.time = 2799;
    EXPECT_TRUE(overlay());
    m_clock.time = 2800;
    EXPECT_FALSE(overlay());
}

TEST_F(FrameTest, TheTopmostMusicalFramePlaysAndThePreviousMusicComesBack)
{
    m_audio->play_music(music("a.wav"), {0, 0});
    m_manager.push_frame(frame("plain"), Fade());
    EXPECT_EQ(playing(), "a.wav");

    const auto themed = frame("themed");
    themed->set_up(CIIndependent(SkinPath("themed")));
    EXPECT_TRUE(themed->has_music());
    EXPECT_EQ(themed->music().start_time, MusicInfo::resume_start);
    m_clock.time = 1000;
    m_manager.push_frame(themed, Fade(400, 300));
    // Half the fade's 700 ms out, then as long in.
    run_until(1340);
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_out);
    run_until(1360);
    EXPECT_EQ(m_audio->fade_state(), Audio::fading_in);
    run_until(1710);
    EXPECT_EQ(m_audio->fade_state(), Audio::idle);
    EXPECT_EQ(playing(), "b.wav");

    // A frame on the stack changes the music at once; one with "empty" keeps what it was given.
    const auto silent = frame("silent");
    silent->set_music(music("c.wav"));
    silent->set_up(CIIndependent(SkinPath("silent")));
    m_manager.push_frame(silent, Fade());
    EXPECT_EQ(playing(), "c.wav");
    silent->set_music(music("b.wav", 0));
    EXPECT_EQ(playing(), "b.wav");

    // Popping down to the first musical frame leaves none: the music from before returns.
    m_manager.pop_frame(themed.get(), Fade());
    EXPECT_EQ(m_manager.frames().size(), 1u);
    EXPECT_EQ(playing(), "a.wav");
}

TEST_F(FrameTest, RunFrameReturnsWhenTheFrameHasLeftTheStack)
{
    m_manager.push_frame(frame("base"), Fade());
    const auto popped = frame("popped");
    later(50, [&] { m_manager.pop_frame(popped.get(), Fade()); });
    m_manager.run_frame(popped, Fade::standard());
    EXPECT_FALSE(m_manager.contains(popped.get()));
    EXPECT_EQ(m_manager.frames().size(), 1u);

    const auto target = frame("target");
    later(50, [&] { m_manager.push_frame(frame("above"), Fade()); });
    later(60, [] { throw std::runtime_error("broken"); });
    EXPECT_THROW(m_manager.run_frame(target, Fade()), std::runtime_error);
    EXPECT_EQ(m_manager.frames().size(), 1u) << "popped down to and including the frame";

    // The standard fade of the first push has not been drawn to its end yet.
    EXPECT_TRUE(m_manager.is_fading());
    m_manager.wait_transition();
    m_clock.time += 1000;
    m_manager.push_frame(frame("faded"), Fade(400, 300));
    const std::int64_t start = m_clock.time;
    m_manager.wait_transition();
    EXPECT_GE(m_clock.time, start + 700);
    EXPECT_LT(m_clock.time, start + 720);
    EXPECT_FALSE(m_manager.is_fading());

    later(50, [] { Mainframe::quit(); });
    m_manager.run_frame(frame("abandoned"), Fade());
    EXPECT_EQ(m_manager.frames().size(), 2u);
}

}
}
