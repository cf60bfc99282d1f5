#include "engine/base/property_owner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/str_cache.h"
#include "engine/base/type_name.h"
#include "log_capture.h"

namespace kq {
namespace {

std::size_t not_found_lines(const test::LogCapture& log)
{
    const std::string text = log.text("error");
    std::size_t count = 0;
    for (auto at = text.find("Property not found."); at != std::string::npos; at = text.find("Property not found.", at + 1))
        ++count;
    return count;
}

/// Owns a two-component position (1000) and a visibility flag (1010).
class Body : public PropertyOwner
{
public:
    void property(std::int32_t operation, std::int32_t id, void* data) override
    {
        if (id == 1000 || id == all_properties) {
            if (handle(operation, 1000, data, "Position (X, Y)", type_name<float>(), 2, m_position))
                return;
        }
        if (id == 1010 || id == all_properties) {
            if (handle(operation, 1010, data, "Visible", type_name<bool>(), 1, &m_visible))
                return;
        }
        PropertyOwner::property(operation, id, data);
    }

    float m_position[2] = {1.0f, 2.0f};
    bool m_visible = true;

protected:
    // Performs one operation on one property; true when the call is done with.
    template <class T>
    static bool handle(std::int32_t operation, std::int32_t id, void* data, const char* label, StrCache type,
                       std::int32_t count, T* value)
    {
        switch (operation) {
        case property_get: std::copy(value, value + count, static_cast<T*>(data)); return true;
        case property_set: std::copy(static_cast<T*>(data), static_cast<T*>(data) + count, value); return true;
        case property_type: *static_cast<StrCache*>(data) = type; return true;
        case property_label: *static_cast<std::string*>(data) = label; return true;
        case property_count: *static_cast<std::int32_t*>(data) = count; return true;
        case property_list: (*static_cast<std::function<void(std::int32_t)>*>(data))(id); return false;
        case property_exists: *static_cast<bool*>(data) = true; return true;
        default: return false;
        }
    }
};

/// Adds a score (2000) before the body's properties.
class ScoredBody : public Body
{
public:
    void property(std::int32_t operation, std::int32_t id, void* data) override
    {
        if (id == 2000 || id == all_properties) {
            if (handle(operation, 2000, data, "Score", type_name<int>(), 1, &m_score))
                return;
        }
        Body::property(operation, id, data);
    }

    int m_score = 5;
};

TEST(PropertyOwner, WithoutPropertiesNothingExists)
{
    test::LogCapture log;
    PropertyOwner owner;
    bool exists = false;
    owner.property(property_exists, 1000, &exists);
    EXPECT_FALSE(exists);
    EXPECT_EQ(not_found_lines(log), 0u);
}

TEST(PropertyOwner, AnUnknownIdLogsOnceAndLeavesDataAlone)
{
    test::LogCapture log;
    ScoredBody owner;
    float value[2] = {9.0f, 9.0f};
    owner.property(property_get, 4242, value);
    EXPECT_EQ(value[0], 9.0f);
    EXPECT_EQ(not_found_lines(log), 1u);
}

TEST(PropertyOwner, ListingReportsMostDerivedFirstInTableOrder)
{
    test::LogCapture log;
    ScoredBody owner;
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> collect = [&](std::int32_t id) { ids.push_back(id); };
    owner.property(property_list, all_properties, &collect);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{2000, 1000, 1010}));
    EXPECT_EQ(not_found_lines(log), 0u);

    std::function<void(std::int32_t)> empty;
    EXPECT_THROW(owner.property(property_list, all_properties, &empty), std::bad_function_call);
}

TEST(PropertyOwner, EachPropertyDescribesItself)
{
    ScoredBody owner;
    struct Case
    {
        std::int32_t id;
        const char* label;
        StrCache type;
        std::int32_t count;
    };
    const Case cases[] = {
        {2000, "Score", type_name<int>(), 1},
        {1000, "Position (X, Y)", type_name<float>(), 2},
        {1010, "Visible", type_name<bool>(), 1},
    };
    for (const Case& c : cases) {
        std::string label;
        StrCache type;
        std::int32_t count = 0;
        owner.property(property_label, c.id, &label);
        owner.property(property_type, c.id, &type);
        owner.property(property_count, c.id, &count);
        EXPECT_EQ(label, c.label);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(count, c.count);
    }
}

TEST(PropertyOwner, GetAndSetGoThroughTheChain)
{
    ScoredBody owner;
    const float moved[2] = {3.0f, 4.0f};
    owner.property(property_set, 1000, const_cast<float*>(moved));
    float read[2] = {};
    owner.property(property_get, 1000, read);
    EXPECT_EQ(read[1], 4.0f);
    // Every property asked at once answers with the first of the most derived class.
    int score = 0;
    owner.property(property_get, all_properties, &score);
    EXPECT_EQ(score, 5);
}

TEST(PropertyOwner, ACheckedWriteSkipsAWrongTypeOrCount)
{
    struct Case {
        const char* what;
        std::int32_t id;
        StrCache type;
        std::int32_t count;
        bool written;
        const char* logged;
    };
    const Case cases[] = {
        {"matching", 1000, type_name<float>(), 2, true, nullptr},
        {"wrong type", 1000, type_name<int>(), 2, false, "Property 1000 takes 2 x float, not 2 x int; write skipped."},
        {"wrong count", 1000, type_name<float>(), 3, false, "Property 1000 takes 2 x float, not 3 x float; write skipped."},
        {"unknown id", 1234, type_name<float>(), 2, false, "Property not found."},
    };
    for (const Case& c : cases) {
        test::LogCapture log;
        Body owner;
        float values[3] = {7.0f, 8.0f, 9.0f};
        EXPECT_EQ(owner.set_property(c.id, c.type, c.count, values), c.written) << c.what;
        EXPECT_EQ(owner.m_position[0], c.written ? 7.0f : 1.0f) << c.what;
        if (c.logged)
            EXPECT_NE(log.text("error").find(c.logged), std::string::npos) << c.what;
        else
            EXPECT_EQ(log.text("error").find("Property"), std::string::npos) << c.what;
    }
}


/// A lamp answering its table through the shared helper: brightness (3000, one float) and
/// colour (3010, three floats), ahead of the body's properties.
class Lamp : public Body
{
public:
    void property(std::int32_t operation, std::int32_t id, void* data) override
    {
        static constexpr OwnProperty table[] = {{3000, "Brightness"}, {3010, "Colour", 3}};
        bool passed_on = false;
        const OwnProperty* entry = answer_float_property(table, operation, id, data, passed_on);
        if (passed_on)
            Body::property(operation, id, data);
        if (!entry)
            return;
        float* value = entry->id == 3000 ? &m_brightness : m_colour;
        auto* io = static_cast<float*>(data);
        if (operation == property_get)
            std::copy(value, value + entry->count, io);
        else
            std::copy(io, io + entry->count, value);
    }

    float m_brightness = 0.5f;
    float m_colour[3] = {1.0f, 0.0f, 0.0f};
};

TEST(OwnPropertyTable, AnswersItsOwnEntriesAndPassesTheRestOn)
{
    test::LogCapture log;
    Lamp lamp;
    std::vector<std::int32_t> ids;
    std::function<void(std::int32_t)> collect = [&](std::int32_t id) { ids.push_back(id); };
    lamp.property(property_list, all_properties, &collect);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{3000, 3010, 1000, 1010}));
    ids.clear();
    lamp.property(property_list, 3010, &collect);
    lamp.property(property_list, 1010, &collect);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{3010, 1010}));

    std::string label;
    StrCache type;
    std::int32_t count = 0;
    bool exists = false;
    lamp.property(property_label, 3010, &label);
    lamp.property(property_type, 3010, &type);
    lamp.property(property_count, 3010, &count);
    lamp.property(property_exists, 3010, &exists);
    EXPECT_EQ(label, "Colour");
    EXPECT_EQ(type, type_name<float>());
    EXPECT_EQ(count, 3);
    EXPECT_TRUE(exists);
    lamp.property(property_label, 1010, &label);
    EXPECT_EQ(label, "Visible");

    const float green[3] = {0.0f, 1.0f, 0.0f};
    lamp.property(property_set, 3010, const_cast<float*>(green));
    EXPECT_EQ(lamp.m_colour[1], 1.0f);
    float first = 0.0f;
    lamp.property(property_get, all_properties, &first);
    EXPECT_EQ(first, 0.5f);
    EXPECT_EQ(not_found_lines(log), 0u);

    float untouched = 7.0f;
    lamp.property(property_get, 4000, &untouched);
    EXPECT_EQ(untouched, 7.0f);
    EXPECT_EQ(not_found_lines(log), 1u);
}

}
}
