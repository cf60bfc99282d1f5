#include "engine/host/system/user_language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace kq::host {
namespace {

TEST(UserLanguage, LocaleNamesMapToIndices)
{
    struct Case {
        const char* locale;
        int index;
    };
    const Case cases[] = {
        {"en_US.UTF-8", 1}, {"en", 1},     {"ru_RU", 2},  {"uk_UA.UTF-8", 2}, {"be_BY", 2},
        {"da_DK", 3},       {"es_ES", 4},  {"fr_FR", 5},  {"de_DE@euro", 6},  {"it_IT", 7},
        {"ja_JP", 8},       {"nl_NL", 9},  {"pt_BR", 10}, {"sv_SE", 11},      {"pl_PL", 0},
        {"C", 0},           {"POSIX", 0},  {"", 0},       {"eng", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(language_index_of_locale(c.locale), c.index) << c.locale;
    EXPECT_EQ(language_index_of_locale(nullptr), 0);
}

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(UserLanguage, FirstSetVariableWins)
{
    struct Case {
        const char* lc_all;
        const char* lc_messages;
        const char* lang;
        int index;
    };
    const Case cases[] = {
        {"de_DE", "fr_FR", "en_US", 6},
        {nullptr, "fr_FR", "en_US", 5},
        {"", "", "sv_SE", 11},
        {nullptr, nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        ScopedEnv all("LC_ALL", c.lc_all);
        ScopedEnv messages("LC_MESSAGES", c.lc_messages);
        ScopedEnv lang("LANG", c.lang);
        EXPECT_EQ(get_user_language(), c.index);
    }
}

}
}
