#pragma once

#include <string>

#include "game/shell/progress/chapter.h"
#include "game/shell/progress/save_data.h"

namespace kq {

/// The player data's file ("game.cfg" in the personal folder). Neither operation throws:
/// every failure is written to the "game" log and the game plays on.
class SaveFile
{
public:
    /// The file at the path.
    explicit SaveFile(std::string path) : m_path(std::move(path)) {}

    /// The file's path.
    const std::string& path() const { return m_path; }

    /// Reads the file into `out`, corrected to what the catalogue can play (see
    /// `correct_save_data`); true when it did. A missing file gives false. A file that cannot
    /// be read or is damaged is set aside as "<path>.bad", one of a newer version N as
    /// "<path>.v<N>" (a number is added when that name is taken), so that the next save does
    /// not overwrite it; both give false. `out` changes only on success.
    bool load(const Chapters& chapters, SaveData& out);

    /// Replaces the file by the data, whole or not at all, flushed to the disk: a crash or a
    /// full disk at any moment leaves the old file or the new one. False when it failed; the
    /// next save tries again. While a file that must be set aside could not be moved, nothing
    /// is written over it.
    bool save(const SaveData& data);

private:
    // Moves the file out of the way under the path with the suffix; false when it could not.
    bool set_aside(const std::string& suffix, const std::string& reason);

    std::string m_path;
    /// The suffix of a set-aside that failed, retried before the next save; empty when none.
    std::string m_pending_suffix;
};

}
