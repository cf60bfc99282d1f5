#include "skin_tree_text.h"

#include "engine/base/string_stream.h"

namespace kq::test {

namespace {

std::string value_text(const SkinNode& node)
{
    StringStream stream;
    node.value().write_text(stream);
    return stream.str();
}

// Names read back from a binary copy are fresh unique ids, so anonymous names match as such.
bool same_name(StrCache a, StrCache b)
{
    return a == b || (a.is_unique() && b.is_unique());
}

std::string node_difference(const SkinNode& a, const SkinNode& b)
{
    if (value_text(a) != value_text(b))
        return "values " + value_text(a) + " and " + value_text(b);
    if (a.parents() != b.parents())
        return "parents";
    if (a.directives() != b.directives())
        return "directives";
    if (a.ids() != b.ids())
        return "ids";
    if (a.children().size() != b.children().size())
        return "number of children";
    return "";
}

}

const char* const sample_document =
    "#[uses \"ui/controls.sdt\"]\n"
    "#[define w 5]\n"
    "vimo.window { caption \"Hello world\" size 10 }\n"
    "base { v *.w w 1 font &.v here &\"\" empty * \"\" }\n"
    "button <big red> 7 : .base : vimo.window { child.deep 3 }\n"
    "parents : . : a.. : \"\" {}\n"
    "<a> =cat(1 #w *.v =or(1 2) =none() &x ! * ! \"(\")\n"
    "<> 9\n"
    "nothing {}\n"
    "list { <> 1 <x> 2 <> { inside 3 } }\n"
    "inner { #[define z 1] }\n"
    "valued 4 { #[define y 1] }\n"
    "marks { bang ! ! brace ! { eq ! = }\n"
    "odd \"a]b\" quote \"say \\\"hi\" nested \"[x]\"\n";

SharedPtr<SkinNode> parse_document(const std::string& text)
{
    SharedPtr<SkinNode> root(new SkinNode);
    StringStream stream(text);
    SkinNode::parse_children(*root, stream);
    return root;
}

std::string write_document(const SkinNode& root)
{
    StringStream stream;
    SkinNode::write_children(root, stream);
    return stream.str();
}

std::string tree_difference(const SkinNode& a, const SkinNode& b)
{
    if (std::string difference = node_difference(a, b); !difference.empty())
        return difference;
    for (auto x = a.children().begin(), y = b.children().begin(); x != a.children().end(); ++x, ++y) {
        if (!same_name(x->name, y->name))
            return std::string("names ") + x->name.c_str() + " and " + y->name.c_str();
        if (std::string difference = tree_difference(*x->node, *y->node); !difference.empty())
            return std::string(x->name.c_str()) + ": " + difference;
    }
    return "";
}

}
