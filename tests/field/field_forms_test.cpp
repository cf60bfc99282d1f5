#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/base/exception.h"
#include "engine/base/string_stream.h"
#include "game/field/field_forms.h"

namespace kq {
namespace {

using testing::HasSubstr;

std::string error_reading(const std::function<void(TStream&)>& read, const std::string& text)
{
    StringStream stream(text);
    try {
        read(stream);
    } catch (const Exception& error) {
        return error.message();
    }
    return "";
}

TEST(FieldForms, ReadTheWrittenForms)
{
    StringStream triple("(1 2 30) tail");
    std::array<int, 3> difficulty{};
    read_int_triple(triple, difficulty);
    EXPECT_EQ(difficulty, (std::array<int, 3>{1, 2, 30}));
    EXPECT_EQ(triple.read_token(), "tail");

    StringStream bonuses("{ magnetic, 2 explode, 0 magnetic, 5 }");
    std::map<Bonus, int> initial{{Bonus::spirit, 1}};
    read_bonus_list(bonuses, initial);
    EXPECT_EQ(initial, (std::map<Bonus, int>{{Bonus::magnetic, 5}, {Bonus::explode, 0}}))
        << "emptied first; a later pair replaces; a count of 0 stays listed";

    StringStream rects("{ ((10, 20), (300, 40)) ((-5, 0.5), (1, 2)) }");
    std::vector<Rect> areas{{1, 1, 1, 1}};
    read_rect_list(rects, areas);
    EXPECT_EQ(areas, (std::vector<Rect>{{10, 20, 300, 40}, {-5, 0.5f, 1, 2}}));

    StringStream cells("{ 0 -1 1 0 3h }");
    std::vector<int> codes{7};
    read_int_list(cells, codes);
    EXPECT_EQ(codes, (std::vector<int>{0, -1, 1, 0, 3}));

    StringStream bank("{ ruby jade ruby }");
    std::vector<StrCache> names;
    read_name_list(bank, names);
    EXPECT_EQ(names, (std::vector<StrCache>{StrCache("ruby"), StrCache("jade"), StrCache("ruby")}));
}

TEST(FieldForms, BrokenTextIsTheStreamsErrorWithItsLine)
{
    const auto rects = [](TStream& stream) {
        std::vector<Rect> out;
        read_rect_list(stream, out);
    };
    EXPECT_THAT(error_reading(rects, "{\n((10, 20), (3x0, 40)) }"), HasSubstr("at line 2) invalid number '3x0'."));
    EXPECT_THAT(error_reading(rects, "{ ((10, 20), (30, 40))"), HasSubstr("unexcepted end of file reached."));
    EXPECT_THAT(error_reading(rects, "{ (10, 20, 30, 40) }"), HasSubstr("expected"));

    const auto codes = [](TStream& stream) {
        std::vector<int> out;
        read_int_list(stream, out);
    };
    EXPECT_THAT(error_reading(codes, "{ 1 2"), HasSubstr("unexcepted end of file reached."));
    const auto bonuses = [](TStream& stream) {
        std::map<Bonus, int> out;
        read_bonus_list(stream, out);
    };
    EXPECT_THAT(error_reading(bonuses, "{ luck, 1 }"), HasSubstr("enum string interpretation [luck] unregistered."));
    EXPECT_THAT(error_reading(bonuses, "{ spirit 1 }"), HasSubstr("expected"));
}

}
}
