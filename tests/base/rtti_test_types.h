#pragma once

#include <string>

#include "engine/base/binary_io.h"
#include "engine/base/bstream.h"
#include "engine/base/class_desc.h"
#include "engine/base/text_io.h"
#include "engine/base/tstream.h"

// Small registered classes for the reflection tests.
namespace kq::test {

/// A streamable class (text and binary) holding one number.
class Shape : public BinaryIO, public TextIO
{
public:
    Shape() = default;
    explicit Shape(int size) : m_size(size) {}
    Shape(const Shape&) = default;

    void store(BStream& stream) const override { write_u32(stream, static_cast<std::uint32_t>(m_size)); }
    void load(BStream& stream) override { m_size = static_cast<int>(read_u32(stream)); }
    void write_text(TStream& stream) const override { stream << m_size; }
    void read_text(TStream& stream) override { m_size = std::stoi(stream.read_token()); }

    int m_size = 7;
};

/// Registered with `Shape` as its base.
class Circle : public Shape
{
};

/// A class without any stream form.
class Widget
{
public:
    virtual ~Widget() = default;
};

/// Registered with `Widget` as its base.
class Button : public Widget
{
};

/// An abstract class.
class Abstract
{
public:
    virtual ~Abstract() = default;
    virtual void act() = 0;
};

}

KQ_TYPE_NAME(kq::test::Shape, "class kq::test::Shape");
KQ_TYPE_NAME(kq::test::Circle, "class kq::test::Circle");
KQ_TYPE_NAME(kq::test::Widget, "class kq::test::Widget");
KQ_TYPE_NAME(kq::test::Button, "class kq::test::Button");
KQ_TYPE_NAME(kq::test::Abstract, "class kq::test::Abstract");

namespace kq::test {

/// Registers the classes above (once).
inline void register_test_shapes()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    rtti::ClassDesc<Shape>::instance();
    rtti::ClassDesc<Circle>::instance().add_base<Shape>();
    rtti::ClassDesc<Widget>::instance();
    rtti::ClassDesc<Button>::instance().add_base<Widget>();
    rtti::AbstractClassDesc<Abstract>::instance();
}

}

