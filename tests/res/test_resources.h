#pragma once

// Resources, loaders and folders that the resource manager's tests share.
#include <filesystem>
#include <string>
#include <vector>

#include "engine/base/file_path.h"
#include "engine/base/shared_ptr.h"
#include "engine/base/type_name.h"
#include "engine/res/res_handle.h"
#include "engine/res/resource.h"
#include "engine/res/simple_res_loader.h"

namespace kq::test {

/// A text file as a resource. Its resolve loads every file named after a "uses" word and
/// fails on the word "fail", so that files can depend on files.
class TextResource : public Resource
{
public:
    explicit TextResource(std::string text) : m_text(std::move(text)) {}
    void resolve() override;

    std::string m_text;
    std::vector<ResHandle<TextResource>> m_uses;
};

/// A second resource type, whose loader lets go of unused resources at once.
class ImageResource : public TextResource
{
public:
    using TextResource::TextResource;
};

}

KQ_TYPE_NAME(kq::test::TextResource, "class kq::test::TextResource");
KQ_TYPE_NAME(kq::test::ImageResource, "class kq::test::ImageResource");

namespace kq::test {

/// Loads files of one extension as resources of type T; keeps unused ones or not.
template <class T>
class TextLoader : public SimpleResLoader
{
public:
    explicit TextLoader(std::string extension, bool keep = true)
        : m_extension(std::move(extension)), m_keep(keep)
    {
    }

    bool keep_when_unused() const override { return m_keep; }
    SharedPtr<Resource> load_from_stream(ResStream& stream, const ResRequest& request) override;

private:
    std::string m_extension;
    bool m_keep;
};

/// Whether a write left a temporary file (ending ".tmp") in the folder.
bool has_temporary_file(const std::filesystem::path& folder);

/// The folder of the fixture tree of these tests.
std::filesystem::path fixture_dir();

/// A fresh empty folder, removed with everything in it at the end of its scope.
class TempDir
{
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    /// The folder's path with "/" at its end.
    std::string str() const { return m_path.string() + "/"; }
    /// Writes a file (creating its folders) under the folder; returns its full path.
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path m_path;
};

/// What the log "res" receives from construction on: the log is opened as a file in a
/// folder of the test run the first time.
class LogCapture
{
public:
    LogCapture();
    /// The text written since construction.
    std::string text() const;

private:
    std::string m_path;
    std::size_t m_start;
};

template <class T>
SharedPtr<Resource> TextLoader<T>::load_from_stream(ResStream& stream, const ResRequest& request)
{
    if (FilePath(request.m_key.m_path).extension() != m_extension)
        return {};
    return SharedPtr<Resource>(new T(read_all(*stream.m_buffer)));
}

}
