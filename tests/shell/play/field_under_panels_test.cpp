#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "engine/base/random.h"
#include "engine/res/skin.h"
#include "engine/res/skin_readers.h"
#include "game/field/field.h"
#include "game/field/idols/creation_idol.h"
#include "game/field/objects/white_cloud.h"
#include "game/shell/progress/catalogue.h"
#include "tests/shell/data_tree.h"
#include "tests/shell/first_profile.h"

namespace kq {
namespace {

struct Named
{
    std::string what;
    Rect rect;
};

std::string describe(const Rect& r)
{
    std::ostringstream text;
    text << "(" << r.x << ", " << r.y << " " << r.w << "x" << r.h << ")";
    return text.str();
}

bool overlap(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool on_screen(const Rect& r)
{
    return r.x >= 0 && r.y >= 0 && r.x + r.w <= 1024 && r.y + r.h <= 768;
}

// A control's rectangle on the screen as its skin node places it.
Rect control_rect(const SkinPath& node)
{
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    read_skin_value(node + "x", &x);
    read_skin_value(node + "y", &y);
    read_skin_value(node + "sx", &w);
    read_skin_value(node + "sy", &h);
    return {float(x), float(y), float(w), float(h)};
}

// The box round an item turned by its angle.
Rect bounds_of(const Item& item)
{
    const float c = std::abs(std::cos(item.angle()));
    const float s = std::abs(std::sin(item.angle()));
    const Vector2<float> size = item.size();
    const float w = size.x * c + size.y * s;
    const float h = size.x * s + size.y * c;
    return {item.position().x - w / 2, item.position().y - h / 2, w, h};
}

Rect bounds_of(const Sprite& sprite)
{
    const Vector2<float> corner = sprite.position() - sprite.pivot();
    return {corner.x, corner.y, sprite.size().x, sprite.size().y};
}

// What a mission puts on the screen as it starts: its items (walls, pieces, objects), its
// idols' figures and hand slots, and the areas that pieces and jewels fall into.
std::vector<Named> placed(const Field& field)
{
    std::vector<Named> out;
    for (const SharedPtr<Item>& item : field.items()) {
        // A white cloud sails over the whole screen, panels and all, from edge to edge.
        if (dynamic_cast<const WhiteCloud*>(item.get()))
            continue;
        out.push_back({item->skin_path().text(), bounds_of(*item)});
    }
    for (const SharedPtr<Idol>& idol : field.idols()) {
        out.push_back({"an idol", bounds_of(idol->sprite())});
        if (const auto* creation = dynamic_cast<const CreationIdol*>(idol.get()))
            for (int i = 0; i < CreationIdol::slot_count; ++i)
                out.push_back({"hand slot " + std::to_string(i), bounds_of(creation->slot(i).back)});
    }
    for (const Rect& area : field.production_areas())
        out.push_back({"production area", area});
    for (const Rect& area : field.areas())
        out.push_back({"jewel area", area});
    return out;
}

// Every mission of the campaign, as the game builds it, puts nothing under the game frame's
// panels: what the panels cover is not field.
TEST(FieldUnderPanels, NoMissionPlacesAnythingUnderThePanels)
{
    test::DataTreeRenderer data("kq_field_panels_test_");
    test::FirstProfile game;
    const std::vector<Named> panels{{"the top panel", control_rect(SkinPath("panels.top"))},
                                    {"the bottom panel", control_rect(SkinPath("panels.bottom"))},
                                    {"the left meter", control_rect(SkinPath("panels.left_meter"))},
                                    {"the right meter", control_rect(SkinPath("panels.right_meter"))}};
    for (const Named& panel : panels)
        ASSERT_GT(panel.rect.w * panel.rect.h, 0.0f) << panel.what;

    const auto check = [&panels](const std::string& path, const Field& field) {
        for (const Named& thing : placed(field)) {
            EXPECT_TRUE(on_screen(thing.rect)) << path << ": " << thing.what << " " << describe(thing.rect);
            for (const Named& panel : panels)
                EXPECT_FALSE(overlap(thing.rect, panel.rect))
                    << path << ": " << thing.what << " " << describe(thing.rect) << " lies under " << panel.what;
        }
    };
    Chapters chapters;
    read_catalogue(SkinPath("missions"), chapters);
    int missions = 0;
    for (const auto& [chapter, content] : chapters) {
        for (const auto& [number, mission] : content.missions) {
            const std::string name = "missions.chapter" + std::to_string(chapter) + ".mission" + std::to_string(number);
            ++missions;
            // Pieces and objects scatter at random: a few draws of each mission.
            for (int seed = 1; seed <= 3; ++seed) {
                random_seed(seed);
                Field field(FieldSettings{}, game);
                field.read_skin(SkinPath(name.c_str()));
                check(name + " (seed " + std::to_string(seed) + ")", field);
            }
        }
    }
    EXPECT_EQ(missions, 46);
}

}
}
