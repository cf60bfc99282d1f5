#include "engine/res/skin.h"

#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/mainframe.h"
#include "engine/base/tstream.h"
#include "engine/res/dictionary.h"
#include "engine/res/dictionary_loader.h"
#include "engine/res/res.h"
#include "engine/res/skin_document_loader.h"
#include "engine/res/skin_startup.h"

namespace kq {
namespace {

// A name as the service's messages show it: "[" + its text + "]".
std::string bracketed(StrCache name)
{
    return std::string("[") + name.c_str() + "]";
}

}

Skin::Skin() : Service(skin_service_name)
{
    set_skin_environment(this);
}

Skin::~Skin()
{
    if (instance() == this)
        set_skin_environment(nullptr);
}

Skin& Skin::running()
{
    if (!instance())
        KQ_THROW(ServiceException, skin_service_name, "skin service not started.");
    return *instance();
}

void Skin::initialize()
{
    Res& res = *Res::instance();
    res.add_loader(type_name<SkinDocument>(), SharedPtr<ResLoader>(new SkinDocumentLoader));
    res.add_loader(type_name<Dictionary>(), SharedPtr<ResLoader>(new DictionaryLoader));
    res.add_search_path(FilePath("data/skin/").str());
    for (const SkinStartupTask& task : skin_startup_tasks())
        task();
}

void Skin::shutdown()
{
    Res& res = *Res::instance();
    for (const ResHandle<SkinDocument>& document : m_documents) {
        if (document.key().m_flags & 1)
            res.flush(SharedPtr<ResRecord>(document.get_loaded()));
    }
    const auto of_type = [](StrCache type) {
        return [type](StrCache record_type, const ResKey&, const ResRecord&) { return record_type == type; };
    };
    res.unload(of_type(type_name<Dictionary>()));
    res.unload(of_type(type_name<SkinDocument>()));
}

void Skin::attach_document(const ResHandle<SkinDocument>& handle)
{
    ResHandle<SkinDocument> attached(handle);
    SkinDocument* document = attached.get();
    for (const ResHandle<SkinDocument>& known : m_documents) {
        const ResRecord* record = known.get_loaded();
        if (record && record->resource().get() == document)
            return;
    }
    TStream& out = log();
    out << "Attaching " << attached.path() << t_io::endl << t_io::push_tab;
    m_documents.push_back(attached);
    if (document && document->root())
        m_root.merge(*document->root());
    out << t_io::pop_tab << "End " << attached.path() << t_io::endl;
}

void Skin::use_document(const FilePath& path)
{
    attach_document(ResHandle<SkinDocument>(ResKey{path.str(), 0}));
}

void Skin::define(StrCache name, const std::string& text)
{
    if (!m_definitions.emplace(name, text).second)
        KQ_THROW(ServiceException, skin_service_name, "redifinition of name " + bracketed(name));
}

const std::string& Skin::definition(StrCache name)
{
    auto found = m_definitions.find(name);
    if (found == m_definitions.end())
        KQ_THROW(ServiceException, skin_service_name, "using undefined definition " + bracketed(name));
    return found->second;
}

void Skin::register_function(StrCache name, SkinFunction function, bool constant)
{
    m_functions[name] = Function{std::move(function), constant};
}

const Skin::Function& Skin::function(StrCache name) const
{
    auto found = m_functions.find(name);
    if (found == m_functions.end())
        KQ_THROW(ServiceException, skin_service_name, "using undefined function " + bracketed(name));
    return found->second;
}

std::string Skin::call_function(StrCache name, const std::vector<std::string>& arguments,
                                const SkinPath& context)
{
    return function(name).call(arguments, context);
}

bool Skin::is_constant_function(StrCache name)
{
    return function(name).constant;
}

SkinNode* Skin::try_find_node(const SkinPath& path, bool need_value)
{
    if (need_value)
        return SkinNode::find(true, path, m_root);
    if (auto cached = m_node_cache.find(path); cached != m_node_cache.end())
        return cached->second;
    SkinNode* found = SkinNode::find(false, path, m_root);
    if (found)
        m_node_cache.emplace(path, found);
    return found;
}

std::string Skin::node_text(const SkinPath& path)
{
    SkinNode* node = try_find_node(path, true);
    if (!node) {
        KQ_THROW(ServiceException, skin_service_name, "node not found [" + path.text() + "]");
    }
    return node->value().evaluate(path);
}

void Skin::enum_ids(const SkinPath& path, std::vector<StrCache>& out, const std::string& id)
{
    out.clear();
    SkinNode::enum_ids(m_root, path, out, id);
}

std::string get_skin_text(const SkinPath& path)
{
    return require_skin_environment().node_text(path);
}

void start_skin_service()
{
    require_mainframe(skin_service_name);
    require_service(skin_service_name, Res::instance() != nullptr, "res");
    start_service(new Skin);
}

void stop_skin_service()
{
    stop_service(Skin::instance());
}

}
