#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/res/skin_functions.h"

namespace kq {

/// One start-up step of the skin service: attach a document, define a name or register a
/// function. It reaches the service when it runs, not when it is made.
using SkinStartupTask = std::function<void()>;

/// The start-up tasks in registration order; the skin service runs them when it initialises.
/// A library appends its own documents, constants and functions in its
/// `register_<component>_skin_entries()` (beside its `register_<lib>_types()`), which
/// app/main.cpp calls at the component's place in the start-up order.
std::vector<SkinStartupTask>& skin_startup_tasks();

/// Appends a task to the start-up list.
void add_skin_startup_task(SkinStartupTask task);

/// A task that attaches the skin document at the path.
SkinStartupTask make_skin_document_task(const std::string& path);

/// A task that defines the name with the text.
SkinStartupTask make_skin_definitions_task(const std::string& name, const std::string& text);

/// A task that registers the skin function under the name.
SkinStartupTask make_skin_function_task(const std::string& name, SkinFunction function, bool constant);

/// Appends a task that attaches the skin document at the path.
void add_skin_document(const std::string& path);

/// Appends a task that defines the name as the decimal text of the value.
void add_skin_constant(const std::string& name, std::int64_t value);

}
