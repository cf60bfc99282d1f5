// The options as a player meets them: the real game, started on the offscreen driver, with
// the main menu's options dialog opened over the title and driven by pushed mouse input. The
// panel shows the profile's settings, previews the music while its slider moves, plays the
// example when the effect slider is set, and "cancel" changes nothing while "ok" stores,
// applies and saves.
#include "game/shell/dialogs/options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/base/mainframe.h"
#include "engine/platform/audio.h"
#include "engine/ui/control_initer.h"
#include "engine/ui/ui.h"
#include "game/shell/dialogs/credits_dlg.h"
#include "game/shell/dialogs/title_options_dlg.h"
#include "game/shell/progress/save_data.h"
#include "game/shell/screens/title_frame.h"
#include "tests/shell/game_driver.h"

namespace kq::test {
namespace {

TEST(Options, FullScreenIsOfferedOnlyOnADesktopLargerThanTheWindow)
{
    struct Case
    {
        Vector2<int> desktop;
        bool offered;
    };
    const Vector2<int> window{800, 600};
    for (const Case& c : {Case{{1024, 768}, true}, Case{{800, 600}, false}, Case{{1024, 600}, false},
                          Case{{801, 601}, true}, Case{{0, 0}, false}})
        EXPECT_EQ(Options::offers_fullscreen(c.desktop, window), c.offered) << c.desktop.x << "x" << c.desktop.y;
}

// The title options dialog, centred: 600 x 330 from (212, 219), its panel 20, 60 further in.
const Vector2<int> tips_box{232 + 290 + 16, 279 + 40 + 16};
const Vector2<int> effect_track{232 + 240 + 14 + 136, 279 + 96 + 16};
const Vector2<int> music_track{232 + 240 + 14 + 218, 279 + 146 + 16};
const Vector2<int> credits_button{212 + 20 + 70, 219 + 266 + 22};
const Vector2<int> ok_button{212 + 280 + 70, 219 + 266 + 22};
const Vector2<int> cancel_button{212 + 440 + 70, 219 + 266 + 22};

std::string read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The title options, run modally over the title from a task of their own as the main menu
// runs them, while the script's steps act.
class OptionsRun
{
public:
    /// Opens the dialog and waits until it shows.
    GameDriver& open(GameDriver& driver)
    {
        driver.then([this] {
            Mainframe::add_task(
                [this] {
                    TitleOptionsDlg dialog;
                    dialog.set_up(CIIndependent(SkinPath("dialogs.title_options")));
                    dialog_ptr = &dialog;
                    result = dialog.run_modal(*Game::instance()->ui().root());
                    dialog_ptr = nullptr;
                },
                reinterpret_cast<Mainframe::TaskId>(this), 0, Mainframe::run_once);
        });
        return driver.wait_for("the options", [this] { return dialog_ptr && dialog_ptr->is_attached(); });
    }
    /// Waits until the dialog has closed.
    GameDriver& closed(GameDriver& driver)
    {
        return driver.wait_for("the options closed", [this] { return dialog_ptr == nullptr; });
    }
    Options& options() { return dialog_ptr->options(); }

    TitleOptionsDlg* dialog_ptr = nullptr;
    StrCache result;
};

GameDriver& at_title_as_ann(GameDriver& driver)
{
    return driver.skip_intro()
        .wait_for("the title screen", [] { return top_frame_is<TitleFrame>(); })
        .then([] {
            Game& game = *Game::instance();
            game.select_profile("ann");
            game.delete_profile("Player");  // the first start's player makes way
            game.m_profile->music_volume = 0.256f;
            game.m_profile->effect_volume = 1.2f;
            game.m_profile->tips = true;
            game.m_profile->fullscreen = true;
            game.apply_profile_settings();
        });
}

float music_group_volume()
{
    return Audio::instance()->group_volume(Shell::group_music);
}

TEST(Options, ShowTheProfilePreviewTheMusicAndCancelChangesNothing)
{
    GameDriver driver;
    OptionsRun run;
    int music_shown = -1;
    int effect_shown = -1;
    int preview = -1;
    float effects_group = -1.0f;
    at_title_as_ann(driver);
    run.open(driver).then([&] {
        effects_group = Audio::instance()->group_volume(Shell::group_effects);
        music_shown = run.options().music_volume().value();
        effect_shown = run.options().effect_volume().value();
    });
    driver.click(music_track)
        .wait_for("the music's preview", [&] {
            preview = run.options().music_volume().value();
            return std::abs(music_group_volume() - float(preview) * 0.01f) < 1e-4f && preview != 26;
        })
        .click(effect_track)
        .wait_for("the effect's example", [&] { return run.options().example().is_playing(); })
        .then([&] {
            EXPECT_NEAR(run.options().example().volume(), float(run.options().effect_volume().value()) * 0.01f, 1e-4f);
            EXPECT_FLOAT_EQ(Audio::instance()->group_volume(Shell::group_effects), effects_group)
                << "the effects' own volume changes only on ok";
        })
        .click(cancel_button);
    run.closed(driver)
        .then([&] {
            Game& game = *Game::instance();
            EXPECT_EQ(run.result, dialog_result_cancel());
            EXPECT_NEAR(music_group_volume(), 0.256f, 1e-4f) << "the music is back";
            EXPECT_FLOAT_EQ(game.m_profile->music_volume, 0.256f);
            EXPECT_TRUE(game.m_profile->tips);
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(music_shown, 26) << "0.256 shows as 26";
    EXPECT_EQ(effect_shown, 100) << "1.2 shows as the slider's end";
    EXPECT_GT(preview, 50);
}

TEST(Options, OkStoresAppliesAndSavesAndAHiddenFullScreenBoxKeepsTheProfilesChoice)
{
    GameDriver driver;
    OptionsRun run;
    bool box_hidden = false;
    int music = -1;
    at_title_as_ann(driver);
    run.open(driver).then([&] { box_hidden = (run.options().fullscreen().state() & Control::state_hidden) != 0; });
    driver.click(tips_box)
        .click(music_track)
        .wait_for("the music slider moved", [&] { return run.options().music_volume().value() != 26; })
        .then([&] { music = run.options().music_volume().value(); })
        .click(ok_button);
    run.closed(driver)
        .then([&] {
            const Profile& profile = *Game::instance()->m_profile;
            EXPECT_EQ(run.result, dialog_result_ok());
            EXPECT_FALSE(profile.tips);
            EXPECT_FLOAT_EQ(profile.music_volume, float(music) * 0.01f);
            EXPECT_FLOAT_EQ(profile.effect_volume, 1.0f) << "clamped to the slider's 100";
            EXPECT_NEAR(music_group_volume(), float(music) * 0.01f, 1e-4f);
            // The box shows the profile's choice when offered; hidden, the choice stays.
            EXPECT_TRUE(profile.fullscreen);

            SaveData saved;
            read_save_data(read_bytes(driver.app_dir() + "game.cfg"), saved);
            ASSERT_EQ(saved.profiles.size(), 1u);
            EXPECT_FALSE(saved.profiles.front().tips);
            EXPECT_FLOAT_EQ(saved.profiles.front().music_volume, float(music) * 0.01f);
        })
        .close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    // The offscreen desktop is no larger than the window: the box was hidden, and the
    // profile's full screen survived "ok".
    RecordProperty("fullscreen_box_hidden", box_hidden ? "true" : "false");
}

TEST(Options, CreditsHideTheOptionsWhileTheyRun)
{
    GameDriver driver;
    OptionsRun run;
    CreditsDlg* credits = nullptr;
    at_title_as_ann(driver);
    run.open(driver).click(credits_button).wait_for("the credits", [&] {
        for (Control* child : Game::instance()->ui().root()->children())
            if (auto* found = dynamic_cast<CreditsDlg*>(child))
                credits = found;
        return credits != nullptr;
    });
    driver.then([&] {
        EXPECT_TRUE(run.dialog_ptr->state() & Control::state_hidden);
        std::string version;
        credits->get_variable("version", version);
        EXPECT_EQ(version, "1.3.2");
    })
        .press_key(SDLK_ESCAPE)
        .wait_for("the options again", [&] { return !(run.dialog_ptr->state() & Control::state_hidden); })
        .click(cancel_button);
    run.closed(driver).close_window();
    EXPECT_EQ(driver.run(), 0);
    EXPECT_EQ(driver.failure(), "");
    EXPECT_EQ(run.result, dialog_result_cancel());
}

}
}
