#pragma once

#include <set>
#include <string>
#include <vector>

#include "engine/res/res_source.h"

namespace kq {

/// A folder of the file system as a resource source, optionally read-only, optionally
/// localized (variants of a file for the platform and language are tried before the file).
class FileResSource : public ResSource
{
public:
    /// A source over the folder root (a host path, kept as given; "" is the current folder).
    FileResSource(const std::string& root, bool read_only, bool localized);

    /// The localized variants in order, then the file itself; opened with its time.
    ResStream open(const std::string& name) override;
    /// The file opened for writing (created, truncated); empty for a read-only source.
    ResStream create(const std::string& name) override;
    /// False for a read-only source.
    bool may_replace() const override { return !m_read_only; }
    /// Writes the file through a temporary file renamed over it; refused by a read-only source.
    std::string replace(const std::string& name, std::string_view content) override;
    /// The root folder; "./" for the current folder.
    std::string place() const override { return m_root.empty() ? "./" : m_root; }
    /// Removes stale temporary files in the folder of the named file, once per folder; a
    /// read-only source leaves its folders alone.
    void remove_stale_temporaries(const std::string& name) override;
    /// Strips the root and a leading variant folder "(...)/" from a full path.
    bool name_of(std::string& path) override;
    /// The full path of an existing file (variants are not tried).
    bool locate(std::string& name) override;

    /// The root folder, ending in "/" unless it is empty.
    const std::string& root() const { return m_root; }
    /// Whether create is refused.
    bool is_read_only() const { return m_read_only; }
    /// Whether variants are tried.
    bool is_localized() const { return m_localized; }

private:
    std::string full_path(const std::string& name) const;

    std::string m_root;
    bool m_read_only;
    bool m_localized;
    std::set<std::string> m_swept_folders;
};

/// The variant names made from the parts (platform, language), most specific first: for
/// win and eng "win-eng", "win", "eng". Never the empty combination.
std::vector<std::string> variant_candidates(const std::vector<std::string>& parts);

}
