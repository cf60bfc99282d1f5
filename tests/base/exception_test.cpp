#include "engine/base/exception.h"

#include <gtest/gtest.h>

#include <string>

namespace kq {
namespace {

TEST(Exception, ComposedTexts)
{
    struct Case
    {
        const Exception& error;
        std::string text;
    };
    const Exception common("x");
    const Exception empty("");
    const CoreException core("broken");
    const IOException io("p/q.txt", "m");
    const ServiceException service("api_window", "failed to create api window");
    const rtti::RTTIException rtti("Control", "type redifinition");
    const rtti::RTTIException unique_id("", "m");
    const CoreException binary("invalid path [/a\x80\xFF\x01" "b\\c] format\r\n\tend");
    const Case cases[] = {
        {common, "kq.common: x"},
        {empty, "kq.common: "},
        {core, "kq.core: broken"},
        {io, "kq.io: file [p/q.txt] m"},
        {service, "kq.services: (in service [api_window]) failed to create api window"},
        {rtti, "kq.rtti: [Control] type redifinition"},
        {unique_id, "kq.rtti: [] m"},
        {binary, "kq.core: invalid path [/a\\x80\\xFF\\x01b\\c] format\r\n\tend"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.error.what(), c.text);
        EXPECT_EQ(c.error.what(), c.text) << "a second call shows the same text";
    }
}

TEST(Exception, CopiesKeepTheirText)
{
    const IOException fresh("p", "m");
    const IOException copied_before_what(fresh);
    EXPECT_EQ(copied_before_what.what(), std::string("kq.io: file [p] m"));
    EXPECT_EQ(fresh.what(), std::string("kq.io: file [p] m"));
    const IOException copied_after_what(fresh);
    EXPECT_EQ(copied_after_what.what(), std::string("kq.io: file [p] m"));
}

TEST(Exception, ThrownThroughTheLoggingMacroKeepsType)
{
    try {
        KQ_THROW(ServiceException, "svc", "gone");
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "kq.services: (in service [svc]) gone");
        EXPECT_STREQ(error.category(), "services");
    }
    EXPECT_STREQ(source_file_name("/a/b/c.cpp"), "c.cpp");
    EXPECT_STREQ(source_file_name("c.cpp"), "c.cpp");
}

}
}
