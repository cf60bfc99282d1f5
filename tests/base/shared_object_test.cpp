#include "engine/base/shared_object.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/base/bstream.h"
#include "engine/base/exception.h"

namespace kq {
namespace {

// A shared object with no data of its own: its binary form is its identity only.
class Plain : public SharedObject
{
};

TEST(SharedObjectBinary, ItsBinaryFormIsItsBlockByReference)
{
    Plain a;
    Plain b;
    StringBuffer bytes;
    {
        BStream out(bytes);
        a.store(out);
        b.store(out);
        a.store(out);
    }
    EXPECT_EQ(bytes.str(), std::string("\0\0\0\0\1\0\0\0\0\0\0\0", 12));

    StringBuffer in(bytes.str());
    BStream stream(in);
    Plain first;
    Plain second;
    Plain again;
    first.load(stream);
    second.load(stream);
    EXPECT_NE(first.counter(), second.counter());
    EXPECT_EQ(first.counter()->m_pointer, &first);
    // The same block read for another object would give one block two owners.
    try {
        again.load(stream);
        ADD_FAILURE() << "read";
    } catch (const IOException& error) {
        EXPECT_NE(error.message().find("count block shared by two objects."), std::string::npos) << error.message();
    }
}

}
}
