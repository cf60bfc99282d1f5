#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/res/skin_functions.h"

namespace kq {

/// One start-up step of the skin service: attach a document, define a name or register a
/// function. It reaches the service when it runs, not when it is made.
using SkinStartupTask = std::function<void()>;

/// The start-up tasks in registration order; the skin service runs them when it initialises.
std::vector<SkinStartupTask>& skin_startup_tasks();

/// Appends a task to the start-up list.
void add_skin_startup_task(SkinStartupTask task);

/// A task that attaches the skin document at the path.
SkinStartupTask make_skin_document_task(const std::string& path);

/// A task that defines the name with the text.
SkinStartupTask make_skin_definitions_task(const std::string& name, const std::string& text);

/// A task that registers the skin function under the name.
SkinStartupTask make_skin_function_task(const std::string& name, SkinFunction function, bool constant);

/// Appends the engine's and the game's start-up registrations (documents, constants and the
/// built-in functions) to the list, in the order the skin service carries them out. Called
/// once, among the registrations at the start of the program.
void register_skin_startup_list();

}
