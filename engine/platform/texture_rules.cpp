#include "engine/platform/texture_rules.h"

#include <stdexcept>

#include "engine/base/exception.h"
#include "engine/base/tstream.h"

namespace kq {

void TextureRules::read(TStream& stream)
{
    m_rules.clear();
    while (!stream.is_eof()) {
        Rule rule;
        stream.expect("ATLAS");
        stream >> rule.atlas;
        stream.expect("FILTER");
        rule.filter = stream.read_token();
        try {
            rule.expression.assign(rule.filter);
        } catch (const boost::regex_error& error) {
            stream.error("bad filter '" + rule.filter + "': " + error.what());
        }
        m_rules.push_back(std::move(rule));
    }
}

bool TextureRules::find_atlas(const FilePath& directory, const std::string& name, std::string& atlas) const
{
    for (const Rule& rule : m_rules) {
        bool matches = false;
        try {
            matches = boost::regex_match(name, rule.expression);
        } catch (const std::runtime_error& error) {
            // The matcher gives up on expressions whose cost explodes on this name.
            KQ_THROW(Exception, "texture filter '" + rule.filter + "' cannot be matched against '" + name +
                                    "': " + error.what());
        }
        if (!matches)
            continue;
        atlas = rule.atlas.directory().empty() ? join_path(directory, rule.atlas.str()).str() : rule.atlas.str();
        return true;
    }
    return false;
}

}
