#pragma once

// A Mainframe with the "res" and "skin" services started over a folder of skin documents
// written by the test, with a start-up list of the test's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/res/skin.h"
#include "engine/res/skin_startup.h"
#include "test_resources.h"

namespace kq::test {

/// What the log "skin" receives from construction on.
class SkinLogCapture
{
public:
    SkinLogCapture();
    /// The text written since construction.
    std::string text() const;

private:
    std::string m_path;
    std::size_t m_start;
};

class SkinTest : public testing::Test
{
protected:
    ~SkinTest() override;

    /// Writes a document (or any file) into the folder of the tree.
    void write(const std::string& name, const std::string& content) { m_dir.write(name, content); }
    /// Starts the services over the folder (whose "default.root" is one source over the
    /// folder unless the test wrote its own), running `tasks` as the start-up list.
    void start(std::vector<SkinStartupTask> tasks = {});
    /// Stops the services (the folder stays).
    void stop();
    /// The running skin service.
    Skin& skin() { return *Skin::instance(); }
    /// The evaluated text at the path.
    std::string text(const char* path) { return get_skin_text(SkinPath(path)); }

    TempDir m_dir;

private:
    bool m_started = false;
    std::vector<SkinStartupTask> m_saved_tasks;
};

}
