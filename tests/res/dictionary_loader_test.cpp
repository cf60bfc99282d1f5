#include "engine/res/dictionary_loader.h"

#include <gtest/gtest.h>

#include "engine/res/dictionary.h"

namespace kq {
namespace {

TEST(DictionaryLoader, ChoosesTheFormByExtension)
{
    struct Case { const char* path; std::string bytes; bool loads; };
    const Case cases[] = {
        {"skin/main/dic.xml", "<dic><w>x</w></dic>", true},
        {"skin/main/words.dic", std::string("w\0 \0x\0", 6), true},
        {"skin/main/dic.txt", "<dic><w>x</w></dic>", false},
        {"skin/main/dic", "<dic><w>x</w></dic>", false},
    };
    for (const Case& c : cases) {
        ResStream stream;
        stream.m_buffer = std::make_unique<StringBuffer>(c.bytes);
        ResRequest request;
        request.m_key.m_path = c.path;
        DictionaryLoader loader;
        const SharedPtr<Resource> resource = loader.load_from_stream(stream, request);
        ASSERT_EQ(bool(resource), c.loads) << c.path;
        if (c.loads) {
            const auto* dictionary = dynamic_cast<Dictionary*>(resource.get());
            ASSERT_NE(dictionary, nullptr) << c.path;
            EXPECT_EQ(dictionary->words(), (WordMap{{u"w", u"x"}})) << c.path;
        }
    }
}

}
}
