#pragma once

#include "engine/base/file_path.h"

namespace kq {

/// The process's working folder, ending in "/".
FilePath get_current_dir();

/// The user's data folder (created when missing), ending in "/"; throws `IOException`
/// "failed to get personal dir" when the system gives none, and the error of
/// `create_directories` when it cannot be made.
FilePath get_personal_dir();

/// The full path of the program's executable file.
FilePath get_module_path();

/// The application's data folder as set at start-up; empty before.
FilePath get_app_dir();

/// Records the application's data folder (done once at start-up).
void set_app_dir(const FilePath& dir);

/// Creates every folder of the path's directory part from its root down, passing over those
/// that exist; throws `IOException` "folder [<folder>] can not be made: <reason>" naming the
/// first folder that cannot be made and the system's reason.
void create_directories(const FilePath& path);

}
