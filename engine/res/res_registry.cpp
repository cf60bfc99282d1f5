// The resource registry file ("default.root") and the register file it names.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"
#include "engine/host/system/file.h"
#include "engine/host/system/user_language.h"
#include "engine/res/file_res_source.h"
#include "engine/res/res.h"
#include "engine/res/res_exception.h"

namespace kq {
namespace {

// The language codes of localized files, by the host's language index.
const char* language_code(int index)
{
    static const char* const codes[] = {"",    "eng", "rus", "dan", "esp", "fra",
                                        "ger", "ita", "jap", "nl",  "por", "swe"};
    return index > 0 && index < static_cast<int>(std::size(codes)) ? codes[index] : "";
}

// The folder part of a path, with its last "/"; empty when there is none.
std::string folder_of(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string read_file_path(TStream& stream)
{
    FilePath path;
    stream >> path;
    return path.str();
}

}

void Res::read_root_file(const std::string& path)
{
    if (path == m_root_file)
        return;
    m_search_paths.erase(std::next(m_base_path), m_search_paths.end());
    m_sources.clear();
    m_root_file = path;
    const std::string root_dir = folder_of(path);
    if (!host::file_exists(path.c_str())) {
        add_source(100, SharedPtr<ResSource>(new FileResSource(root_dir, false, false)));
        return;
    }
    FileBuffer buffer(path, mode_read);
    TStream stream(buffer);
    read_root_statements(stream, root_dir);
}

void Res::read_root_statements(TStream& stream, const std::string& root_dir)
{
    while (!stream.is_eof()) {
        const std::string keyword = stream.read_token();
        if (keyword == "PATH") {
            add_search_path(read_file_path(stream));
        } else if (keyword == "SOURCE") {
            read_source_statement(stream, root_dir);
        } else if (keyword == "LANGUAGE") {
            read_language_statement(stream);
        } else if (keyword == "REGISTER") {
            read_register_file(root_dir + read_file_path(stream));
            m_manage = stream.token_is("MANAGE");
            if (m_manage)
                stream.skip_token();
        } else {
            KQ_THROW(ResException, keyword + " unknown operand.");
        }
    }
}

void Res::read_source_statement(TStream& stream, const std::string& root_dir)
{
    const int priority = to_int(stream.read_token());
    const std::string type = stream.read_token();
    if (type != "FILE")
        KQ_THROW(ResException, type + " unknown source type.");
    std::string folder = read_file_path(stream);
    if (!FilePath(folder).is_absolute())
        folder = root_dir + folder;
    bool read_only = false;
    bool localized = false;
    for (;;) {
        if (stream.token_is("READ_ONLY"))
            read_only = true;
        else if (stream.token_is("LOCALIZED"))
            localized = true;
        else
            break;
        stream.skip_token();
    }
    add_source(priority, SharedPtr<ResSource>(new FileResSource(folder, read_only, localized)));
}

void Res::read_language_statement(TStream& stream)
{
    std::string name = stream.read_token();
    if (name != "AUTO") {
        set_language(name);
        return;
    }
    stream.expect("(");
    std::vector<std::string> names;
    while (!stream.is_eof() && !stream.token_is(")"))
        names.push_back(stream.read_token());
    stream.expect(")");
    if (names.empty())
        KQ_THROW(ResException, "empty languages");
    const std::string user = language_code(host::get_user_language());
    const bool offered = std::find(names.begin(), names.end(), user) != names.end();
    set_language(offered ? user : names.front());
}

void Res::read_register_file(const std::string& path)
{
    if (path == m_register_file)
        return;
    m_register_file = path;
    m_registered.clear();
    if (!host::file_exists(path.c_str()))
        return;
    FileBuffer buffer(path, mode_read);
    TStream stream(buffer);
    std::set<ResKey>* keys = nullptr;
    int count = 0;
    while (!stream.is_eof()) {
        const std::string word = stream.read_token();
        if (word == "TYPE") {
            StrCache type;
            stream >> type;
            keys = &m_registered[type];
        } else if (word == "RES" && keys) {
            ResKey key;
            stream >> key;
            keys->insert(key);
            ++count;
        }
    }
    log() << "New register file: " << path.c_str() << ", files total: " << count << t_io::endl;
}

// Written whole beside the old file and renamed over it, so that a failed or short write (a
// full disk) leaves the old list intact. Type names hold blanks, so they are written quoted to
// read back as one token.
void Res::write_register_file() const
{
    StringBuffer text;
    {
        TStream stream(text);
        for (const auto& [type, keys] : m_registered) {
            stream << "TYPE " << std::string(type.c_str()) << t_io::endl;
            for (const ResKey& key : keys)
                stream << "RES " << key << t_io::endl;
            stream << t_io::endl;
        }
    }
    const std::string temporary = m_register_file + ".tmp";
    bool written = false;
    {
        FileBuffer file(temporary, mode_create | mode_write);
        const auto size = static_cast<std::uint32_t>(text.str().size());
        written = file.write(text.str().data(), size) == size;
    }
    if (!written) {
        host::remove_file(temporary.c_str());
        KQ_THROW(IOException, temporary, "can not be written");
    }
    if (std::rename(temporary.c_str(), m_register_file.c_str()) != 0) {
        host::remove_file(temporary.c_str());
        KQ_THROW(IOException, m_register_file, "can not be replaced");
    }
}

}
