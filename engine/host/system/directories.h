#pragma once

#include <optional>
#include <string>

namespace kq::host {

/// The process's working folder with "/" appended, as the system spells it.
std::string get_current_dir();

/// Makes the folder the process's working folder; false when that fails.
bool set_current_dir(const std::string& path);

/// The user's data folder, `$XDG_DATA_HOME` or else `$HOME/.local/share`, with "/" appended
/// (not created here); nothing when neither variable gives an absolute folder.
std::optional<std::string> get_personal_dir();

/// The full path of the running executable file; empty when the system does not say.
std::string get_module_path();

/// Creates one folder; empty when it was made or is a folder already, else the system's
/// reason ("Permission denied", "Not a directory").
std::string create_directory(const std::string& path);

}
