#include "engine/platform/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/res/skin_path.h"
#include "tests/res/test_skin_environment.h"

namespace kq {
namespace {

/// A window that only records what the mode steps were asked, with a client size set by
/// the test.
class TestWindow : public Window
{
public:
    using Window::Window;

    void set_client_size(Vector2<int> size)
    {
        m_size = size;
        fit();
    }

    void set_cursor(const Cursor*) override {}
    Vector2<int> mouse_position() override { return {}; }
    void set_mouse_position(Vector2<int>) override {}
    void capture_mouse() override {}
    void release_mouse() override {}
    void set_keyboard_focus(bool) override {}
    void show(bool) override {}
    bool is_visible() override { return true; }
    bool is_active() override { return true; }
    void check_display_mode() override { calls.push_back(std::string("check ") + (m_fullscreen ? "full" : "windowed")); }
    void apply_mode() override { calls.push_back("apply"); }
    void store_window_position() override { calls.push_back(std::string("store ") + (m_fullscreen ? "full" : "windowed")); }
    void on_mode_applied() override { calls.push_back("applied"); }

    std::vector<std::string> calls;
};

std::string window_node(const char* size, const char* fixed, const char* fullscreen = "false")
{
    return std::string("w { fullscreen ") + fullscreen + " color_depth 32 size [" + size + "] fixed " + fixed + " }";
}

TEST(Window, ReadsItsKeysFromTheSkinNode)
{
    test::TestSkinEnvironment skin(window_node("(800, 600)", "true", "true"));
    TestWindow window(SkinPath("w"));
    EXPECT_TRUE(window.is_fullscreen());
    EXPECT_EQ(window.color_depth(), 32);
    EXPECT_EQ(window.client_size(), (Vector2<int>{800, 600}));
    EXPECT_TRUE(window.has_logical_size());
    EXPECT_EQ(window.size(), (Vector2<int>{800, 600}));
    EXPECT_EQ(window.max_display_frequency(), 60);
}

TEST(Window, MissingOrEmptyKeysFailTheConstruction)
{
    struct Case { const char* document; const char* error; };
    const Case cases[] = {
        {"w { fullscreen false color_depth 32 size [(800, 600)] }", "node not found [w.fixed]"},
        {"w { color_depth 32 size [(800, 600)] fixed true }", "node not found [w.fullscreen]"},
        {"w { fullscreen false color_depth 32 size [(800, 0)] fixed true }", "window size must be positive [w.size]"},
    };
    for (const Case& c : cases) {
        test::TestSkinEnvironment skin(c.document);
        try {
            TestWindow window(SkinPath("w"));
            ADD_FAILURE() << c.document;
        } catch (const Exception& error) {
            EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos) << error.what();
        }
    }
}

TEST(Window, AFixedLogicalAreaIsFittedCentredIntoTheClientArea)
{
    struct Case {
        Vector2<int> logical;
        Vector2<int> client;
        RectI viewport;
        Vector2<float> point;
        Vector2<int> pixel;
    };
    const Case cases[] = {
        {{1024, 768}, {1280, 1024}, {0, 32, 1280, 960}, {0, 0}, {0, 32}},
        {{1024, 768}, {1280, 1024}, {0, 32, 1280, 960}, {1024, 768}, {1280, 992}},
        {{1024, 768}, {1024, 768}, {0, 0, 1024, 768}, {512, 384}, {512, 384}},
        {{800, 600}, {1920, 1080}, {240, 0, 1440, 1080}, {400, 300}, {960, 540}},
        {{800, 600}, {1920, 1080}, {240, 0, 1440, 1080}, {0.25f, 0}, {240, 0}},
        {{800, 600}, {1920, 1080}, {240, 0, 1440, 1080}, {0.3f, 0}, {241, 0}},
        {{640, 480}, {641, 481}, {0, 0, 641, 480}, {640, 480}, {641, 481}},
    };
    for (const Case& c : cases) {
        const std::string size = "(" + std::to_string(c.logical.x) + ", " + std::to_string(c.logical.y) + ")";
        test::TestSkinEnvironment skin(window_node(size.c_str(), "true"));
        TestWindow window(SkinPath("w"));
        window.set_client_size(c.client);
        SCOPED_TRACE(size + " in " + std::to_string(c.client.x) + "x" + std::to_string(c.client.y));
        EXPECT_EQ(window.size(), c.logical);
        EXPECT_EQ(window.viewport(), c.viewport);
        EXPECT_EQ(window.to_window(c.point), c.pixel);
        const Vector2<float> back = window.to_logical(c.pixel);
        EXPECT_NEAR(back.x, c.point.x, 1.0f);
        EXPECT_NEAR(back.y, c.point.y, 1.0f);
    }
}

TEST(Window, WithoutAFixedSizeBothMappingsAreTheIdentity)
{
    test::TestSkinEnvironment skin(window_node("(800, 600)", "false"));
    TestWindow window(SkinPath("w"));
    window.set_client_size({1000, 700});
    EXPECT_FALSE(window.has_logical_size());
    EXPECT_EQ(window.size(), (Vector2<int>{1000, 700}));
    EXPECT_EQ(window.viewport(), (RectI{0, 0, 1000, 700}));
    struct Case { Vector2<float> point; Vector2<int> pixel; };
    const Case cases[] = {{{10, 20}, {10, 20}}, {{1.5f, -1.5f}, {2, -2}}, {{0.49f, -0.49f}, {0, 0}}};
    for (const Case& c : cases)
        EXPECT_EQ(window.to_window(c.point), c.pixel);
    EXPECT_EQ(window.to_logical({7, -3}), (Vector2<float>{7, -3}));
}

TEST(Window, SwitchingTheModeStoresThePositionThenReappliesAndTells)
{
    test::TestSkinEnvironment skin(window_node("(800, 600)", "true"));
    TestWindow window(SkinPath("w"));
    int changes = 0;
    window.on_changed().connect([&] { ++changes; }, &changes);

    window.set_fullscreen(false);
    EXPECT_TRUE(window.calls.empty());
    EXPECT_EQ(changes, 0);

    window.set_fullscreen(true);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"store windowed", "check full", "apply", "applied"}));
    EXPECT_EQ(changes, 1);
}

}
}
