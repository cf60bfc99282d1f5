#include "engine/base/unique_id_range.h"

#include "engine/base/exception.h"
#include "log_capture.h"

#include <gtest/gtest.h>

namespace kq {
namespace {

TEST(UniqueIdRange, HandsOutEachValueOnceThenThrows)
{
    test::LogCapture log;
    UniqueIdRange range(100, 103);
    EXPECT_EQ(range.take(), 100u);
    EXPECT_EQ(range.take(), 101u);
    EXPECT_EQ(range.take(), 102u);
    try {
        range.take();
        FAIL() << "an exhausted range must throw";
    } catch (const CoreException& error) {
        EXPECT_STREQ(error.what(), "kq.core: Unique adress buffer overflow");
    }
    EXPECT_THROW(range.take(), CoreException);  // and stays exhausted
    EXPECT_NE(log.text("error").find("Unique adress buffer overflow"), std::string::npos);
}

TEST(UniqueIdRange, ContainsItsValuesOnly)
{
    const UniqueIdRange range(100, 103);
    struct Case {
        std::uintptr_t word;
        bool expected;
    };
    const Case cases[] = {{99, false}, {100, true}, {102, true}, {103, false}};
    for (const Case& c : cases)
        EXPECT_EQ(range.contains(c.word), c.expected) << c.word;
}

}
}
