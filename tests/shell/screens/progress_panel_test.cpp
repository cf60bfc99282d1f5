#include "game/shell/screens/progress_panel.h"

#include <vector>

#include <gtest/gtest.h>

#include "engine/ui/control_initer.h"
#include "tests/shell/panel_fixture.h"

namespace kq::test {
namespace {

class ProgressPanelTest : public PanelTest
{
protected:
    ProgressPanelTest() { panel.set_up(CIIndependent(SkinPath("panels.progress"))); }

    ProgressPanel panel;
};

TEST_F(ProgressPanelTest, TheQualityBarShowsTheQualityAndWhatIsMissingToTheTarget)
{
    struct Case
    {
        int quality, target, common, div;
    };
    for (const Case c : {Case{3, 10, 3, 7}, Case{12, 10, 12, -2}, Case{0, 0, 0, 0}}) {
        panel.set_quality(c.quality, c.target);
        EXPECT_EQ(panel.quality_bottom().find_share(StrCache("common"))->value, c.common);
        EXPECT_EQ(panel.quality_bottom().find_share(StrCache("div"))->value, c.div) << "no clamping";
    }
}

TEST_F(ProgressPanelTest, ItsThreeChildrenComeFromItsOwnNode)
{
    const std::vector<const Control*> expected{&panel.quality_bottom(), &panel.quality_top(), &panel.play_button()};
    EXPECT_EQ(std::vector<const Control*>(panel.children().begin(), panel.children().end()), expected);
    EXPECT_EQ(panel.quality_bottom().size(), (Vector2<int>{400, 16}));
    EXPECT_EQ(panel.play_button().size(), (Vector2<int>{120, 56}));
}

}
}
