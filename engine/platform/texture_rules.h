#pragma once

#include <string>
#include <vector>

#include <boost/regex.hpp>

#include "engine/base/file_path.h"

namespace kq {

class TStream;

/// The rules of a texture folder's "default.tah": which atlas holds the textures whose full
/// names match a regular expression. Written as records "ATLAS" path "FILTER" expression,
/// in order, up to the end of the text.
class TextureRules
{
public:
    /// One rule: the atlas's path and the expression a whole texture name must match.
    struct Rule
    {
        FilePath atlas;
        std::string filter;
        boost::regex expression;
    };

    /// Replaces the rules by those of the stream; a malformed record or an expression that
    /// does not compile is the stream's error.
    void read(TStream& stream);

    /// The atlas of the first rule whose filter matches the whole of `name`; an atlas path
    /// without a folder is taken in `directory`. False, `atlas` untouched, when none matches.
    /// An expression too costly to match against the name throws `Exception`.
    bool find_atlas(const FilePath& directory, const std::string& name, std::string& atlas) const;

    /// The rules in file order.
    const std::vector<Rule>& rules() const { return m_rules; }

private:
    std::vector<Rule> m_rules;
};

}
