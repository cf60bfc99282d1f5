#include "engine/res/simple_res_loader.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "engine/res/file_res_source.h"
#include "engine/res/res.h"
#include "test_resources.h"

namespace kq {
namespace {

using test::TextResource;

TEST(SimpleResLoader, RecordKeepsTimeSourceAndLoader)
{
    test::TempDir dir;
    dir.write("a.txt", "a");
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.str() + "default.root");
    SharedPtr<ResLoader> loader(new test::TextLoader<TextResource>("txt"));
    ResRequest request{type_name<TextResource>(), {"a.txt", 0}};
    SharedPtr<ResRecord> record = loader->load(request);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->loader(), loader.get());
    EXPECT_EQ(record->source(), res->sources().begin()->second.get());
    EXPECT_EQ(record->use_count(), 0);
    EXPECT_GT(record->time(), 0);

    struct Case {
        const char* path;
    };
    for (const Case& c : {Case{"missing.txt"}, Case{"a.bmp"}}) {
        ResRequest other{type_name<TextResource>(), {c.path, 0}};
        EXPECT_FALSE(loader->load(other)) << c.path;
    }
    EXPECT_FALSE(loader->store(request, *record));
}

TEST(SimpleResLoader, UpToDateUntilTheFileIsRewritten)
{
    test::TempDir dir;
    const std::string path = dir.write("a.txt", "a");
    SharedPtr<Res> res(new Res);
    res->read_root_file(dir.str() + "default.root");
    SharedPtr<ResLoader> loader(new test::TextLoader<TextResource>("txt"));
    ResRequest request{type_name<TextResource>(), {"a.txt", 0}};
    const auto loaded = std::filesystem::last_write_time(path);
    SharedPtr<ResRecord> record = loader->load(request);

    // A rewrite within the same second as the load still counts.
    struct Case {
        std::filesystem::file_time_type::duration rewritten_after;
        bool up_to_date;
    };
    const Case cases[] = {
        {std::chrono::seconds(0), true},
        {-std::chrono::hours(1), true},
        {std::chrono::milliseconds(1), false},
        {std::chrono::hours(2), false},
    };
    for (const Case& c : cases) {
        std::filesystem::last_write_time(path, loaded + c.rewritten_after);
        EXPECT_EQ(loader->is_up_to_date(*record, request), c.up_to_date) << c.rewritten_after.count();
    }
    std::filesystem::remove(path);
    EXPECT_TRUE(loader->is_up_to_date(*record, request));

    ResRecord sourceless(SharedPtr<Resource>(new TextResource("x")), 0, nullptr, loader.get());
    EXPECT_TRUE(loader->is_up_to_date(sourceless, request));
}

}
}
