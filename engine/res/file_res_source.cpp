#include "engine/res/file_res_source.h"

#include <algorithm>

#include "engine/base/file_path.h"
#include "engine/host/system/atomic_file.h"
#include "engine/host/system/file.h"
#include "engine/res/res.h"

namespace kq {
namespace {

// The name with "(variant)" after its stem: "ui/font.png" becomes "ui/font(win).png".
std::string with_stem_variant(const std::string& name, const std::string& variant)
{
    std::size_t file_start = name.rfind('/');
    file_start = file_start == std::string::npos ? 0 : file_start + 1;
    std::size_t dot = name.rfind('.');
    std::size_t stem_end = dot == std::string::npos || dot < file_start ? name.size() : dot;
    std::string result = name;
    result.insert(stem_end, "(" + variant + ")");
    return result;
}

ResStream open_existing(const std::string& path)
{
    ResStream result;
    if (!host::file_exists(path.c_str()))
        return result;
    result.m_buffer = std::make_unique<FileBuffer>(path, mode_read);
    result.m_time = host::file_modified_time(path.c_str()).value_or(0);
    return result;
}

}

std::vector<std::string> variant_candidates(const std::vector<std::string>& parts)
{
    std::vector<std::string> candidates;
    const std::size_t k = parts.size();
    const unsigned all = (1u << k) - 1;
    for (unsigned n = 0; n < all; ++n) {
        unsigned mask = all - n;
        std::string candidate;
        for (std::size_t i = 0; i < k; ++i) {
            if (!(mask & (1u << (k - 1 - i))))
                continue;
            if (!candidate.empty())
                candidate += '-';
            candidate += parts[i];
        }
        candidates.push_back(candidate);
    }
    return candidates;
}

FileResSource::FileResSource(const std::string& root, bool read_only, bool localized)
    : m_root(root), m_read_only(read_only), m_localized(localized)
{
    if (!m_root.empty() && m_root.back() != '/')
        m_root += '/';
}

std::string FileResSource::full_path(const std::string& name) const
{
    return FilePath(name).is_absolute() ? name : m_root + name;
}

ResStream FileResSource::open(const std::string& name)
{
    if (m_localized && Res::instance()) {
        for (const std::string& variant : variant_candidates(Res::instance()->variants())) {
            if (ResStream found = open_existing(full_path("(" + variant + ")/" + name)))
                return found;
            if (ResStream found = open_existing(full_path(with_stem_variant(name, variant))))
                return found;
        }
    }
    return open_existing(full_path(name));
}

ResStream FileResSource::create(const std::string& name)
{
    ResStream result;
    if (m_read_only)
        return result;
    const std::string path = full_path(name);
    result.m_buffer = std::make_unique<FileBuffer>(path, mode_create | mode_write);
    result.m_time = host::file_modified_time(path.c_str()).value_or(0);
    return result;
}

std::string FileResSource::replace(const std::string& name, std::string_view content)
{
    if (m_read_only)
        return "read-only source " + m_root;
    return host::write_file_atomically(full_path(name), content);
}

void FileResSource::remove_stale_temporaries(const std::string& name)
{
    if (m_read_only)
        return;
    const std::string path = full_path(name);
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (m_swept_folders.insert(folder).second)
        host::remove_stale_temporaries(folder);
}

bool FileResSource::name_of(std::string& path)
{
    if (path.compare(0, m_root.size(), m_root) != 0)
        return false;
    std::string rest = path.substr(m_root.size());
    if (!rest.empty() && rest.front() == '(') {
        std::size_t close = rest.find(')');
        rest = close == std::string::npos ? std::string() : rest.substr(std::min(close + 2, rest.size()));
    }
    path = FilePath(rest).str();
    return true;
}

bool FileResSource::locate(std::string& name)
{
    std::string path = full_path(name);
    if (!host::file_exists(path.c_str()))
        return false;
    name = path;
    return true;
}

}
