// The resource registry file ("default.root") and the register file it names.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>

#include "engine/base/buffer.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/string_utils.h"
#include "engine/base/tstream.h"
#include "engine/host/system/atomic_file.h"
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

// A statement error, placed like the text format's own errors: the file and the line of the
// statement's keyword.
[[noreturn]] void statement_error(TStream& stream, std::uint32_t line, const std::string& message)
{
    KQ_THROW(ResException, "(in stream " + stream.buffer().name() + " at line " + std::to_string(line) + ") " + message);
}

// A register entry as it is written back: a path of printable text (the data tree's names
// are ASCII) that is not a lone symbol, and an integer. Anything else comes from damage.
bool is_sound_entry(const std::string& path, const std::string& flags)
{
    static const char symbols[] = "(){}[],;:=<>!?@#$%&*+/\\|^~'`";
    if (path.empty() || printable_text(path) != path || path.find_first_of("\r\n\t") != std::string::npos)
        return false;
    if (path.size() == 1 && std::string_view(symbols).find(path[0]) != std::string_view::npos)
        return false;
    // An integer token: a sign, then digits of the radix its last letter names (b, h, o).
    const bool hex = !flags.empty() && (flags.back() == 'h' || flags.back() == 'H');
    const bool suffix = hex || (!flags.empty() && std::string_view("bBoO").find(flags.back()) != std::string_view::npos);
    const std::size_t first = !flags.empty() && (flags[0] == '-' || flags[0] == '+') ? 1 : 0;
    const std::size_t end = flags.size() - (suffix ? 1 : 0);
    if (end <= first)
        return false;
    return std::all_of(flags.begin() + first, flags.begin() + end, [hex](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return hex ? std::isxdigit(byte) != 0 : std::isdigit(byte) != 0;
    });
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
    m_root_found = host::file_exists(path.c_str());
    if (!m_root_found) {
        add_source(100, SharedPtr<ResSource>(new FileResSource(root_dir, false, false)));
        return;
    }
    FileBuffer buffer(path, mode_read);
    TStream stream(buffer);
    // Nothing at all says where resources lie: most likely a file cut short or emptied.
    if (stream.is_eof())
        statement_error(stream, stream.line(), "no statement in resource registry file.");
    read_root_statements(stream, root_dir);
}

void Res::read_root_statements(TStream& stream, const std::string& root_dir)
{
    while (!stream.is_eof()) {
        const std::uint32_t line = stream.line();
        const std::string keyword = stream.read_token();
        if (keyword == "PATH") {
            add_search_path(read_file_path(stream));
        } else if (keyword == "SOURCE") {
            read_source_statement(stream, root_dir, line);
        } else if (keyword == "LANGUAGE") {
            read_language_statement(stream, line);
        } else if (keyword == "REGISTER") {
            read_register_file(root_dir + read_file_path(stream));
            m_manage = stream.token_is("MANAGE");
            if (m_manage)
                stream.skip_token();
        } else {
            statement_error(stream, line, keyword + " unknown operand.");
        }
    }
}

void Res::read_source_statement(TStream& stream, const std::string& root_dir, std::uint32_t line)
{
    const int priority = to_int(stream.read_token());
    const std::string type = stream.read_token();
    if (type != "FILE")
        statement_error(stream, line, type + " unknown source type.");
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

void Res::read_language_statement(TStream& stream, std::uint32_t line)
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
        statement_error(stream, line, "empty languages");
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
    // Rewrites of the list that a kill cut short are cleaned up before this run writes it.
    host::remove_stale_temporaries(folder_of(path).empty() ? "." : folder_of(path));
    if (!host::file_exists(path.c_str()))
        return;
    int count = 0;
    try {
        count = read_register_entries(path);
    } catch (const Exception& error) {
        set_aside_register_file(error.what());
        return;
    }
    log() << "New register file: " << path.c_str() << ", files total: " << count << t_io::endl;
}

int Res::read_register_entries(const std::string& path)
{
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
            const std::uint32_t line = stream.line();
            const std::string path = read_file_path(stream);
            const std::string flags = stream.read_token();
            if (!is_sound_entry(path, flags))
                statement_error(stream, line, "damaged entry RES " + path + " " + flags);
            keys->insert(ResKey{path, to_int(flags)});
            ++count;
        }
    }
    return count;
}

// The list is only a cache of what loads: a damaged one is kept for a look under another
// name and the list starts empty, to be rebuilt when the file is managed.
void Res::set_aside_register_file(const std::string& reason)
{
    m_registered.clear();
    const std::string aside = m_register_file + ".damaged";
    log() << "Damaged register file: " << m_register_file.c_str() << " (" << reason.c_str() << ")" << t_io::endl;
    if (std::rename(m_register_file.c_str(), aside.c_str()) == 0)
        log() << "Set aside as " << aside.c_str() << t_io::endl;
    else
        log() << "Can not set it aside as " << aside.c_str() << ": " << host::last_error_text().c_str() << t_io::endl;
}

// Written whole beside the old file and renamed over it, so that a failed or short write (a
// full disk) leaves the old list intact and another game starting meanwhile reads a whole
// list. Type names hold blanks, so they are written quoted to read back as one token.
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
    const std::string failure = host::write_file_atomically(m_register_file, text.str());
    if (failure.empty())
        return;
    // The list only saves work at the next start: losing this rewrite must not stop the
    // shutdown of everything else.
    const std::string message = "Register file " + m_register_file + " not written: " + failure;
    log() << printable_text(message).c_str() << t_io::endl;
    log_error(printable_text(message).c_str(), source_file_name(__FILE__), __LINE__);
}

}
