// Loading, failing, dropping, storing and preloading through `Res`, over the fixture tree.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/res/res.h"
#include "engine/res/res_exception.h"
#include "test_resources.h"

namespace kq {
namespace {

using test::ImageResource;
using test::TextResource;

ResRequest text_request(const std::string& path, int flags = 0)
{
    return {type_name<TextResource>(), {path, flags}};
}

ResRequest image_request(const std::string& path)
{
    return {type_name<ImageResource>(), {path, 0}};
}

TextResource& text_of(const SharedPtr<ResRecord>& record)
{
    return dynamic_cast<TextResource&>(*record->resource());
}

std::size_t count_of(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

SharedPtr<ResLoader> text_loader()
{
    return SharedPtr<ResLoader>(new test::TextLoader<TextResource>("txt"));
}

// A `Res` over the fixture tree with a loader of text files; images have no loader.
class ResLoading : public testing::Test
{
protected:
    ResLoading() : m_res(new Res)
    {
        m_res->set_platform("win");
        m_res->read_root_file((test::fixture_dir() / "default.root").string());
        m_res->add_loader(type_name<TextResource>(), text_loader());
    }

    // The text of the error that loading the request throws.
    std::string failure_of(ResRequest request)
    {
        try {
            m_res->load(request);
        } catch (const ResException& error) {
            return error.what();
        }
        return "no error";
    }

    std::vector<std::string> search_paths() const
    {
        return {m_res->search_paths().begin(), m_res->search_paths().end()};
    }

    SharedPtr<Res> m_res;
};

TEST_F(ResLoading, LoadsOnceAndSharesTheRecord)
{
    test::LogCapture log;
    ResRequest request = text_request("plain.txt");
    SharedPtr<ResRecord> first = m_res->load(request);
    SharedPtr<ResRecord> second = m_res->load(request);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(text_of(first).m_text, "plain\n");
    EXPECT_EQ(first->use_count(), 0);
    EXPECT_EQ(count_of(log.text(), "Loading "), 1u);
}

TEST_F(ResLoading, EmptyTypeOrPathLoadsNothing)
{
    ResRequest no_path = text_request("");
    ResRequest no_type{StrCache(), {"plain.txt", 0}};
    EXPECT_FALSE(m_res->load(no_path));
    EXPECT_FALSE(m_res->load(no_type));
}

TEST_F(ResLoading, FailuresGiveTheirReason)
{
    const std::string any_loader = "any loader cannot open file. Possible file absent or file type is incorrect.";
    const std::string fixtures = test::fixture_dir().string() + "/";
    struct Case {
        ResRequest request;
        std::string reason;
    };
    const Case cases[] = {
        {image_request("plain.txt"), "suitable loader not found."},
        {text_request("missing.txt"), any_loader + "\r\nSearched " + fixtures + "high/, " + fixtures + "low/ as " + fixtures +
                                          "default.root says."},
        {text_request("image.bmp"), any_loader},
        {text_request("plain.txt"), "no resource source found."},  // last: drops the sources
    };
    for (const Case& c : cases) {
        if (c.reason == "no resource source found.") {
            m_res = SharedPtr<Res>(new Res);
            m_res->add_loader(type_name<TextResource>(), text_loader());
        }
        test::LogCapture log;
        const std::string request = "\"" + std::string(c.request.m_type.c_str()) + "\" \"" + c.request.m_key.m_path + "\" 0";
        EXPECT_EQ(failure_of(c.request), "kq.res: (in resource: [" + request + "]) unable to load.\r\nReason: " + c.reason);
        EXPECT_NE(log.text().find("Loading " + request + "...\r\n"), std::string::npos);
        EXPECT_NE(log.text().find("fail. " + c.reason.substr(0, c.reason.find('\r'))), std::string::npos);
    }
}

// A file that no source has most often means a registry file that is missing or says the
// wrong folders: the error names it and the folders that were searched.
TEST(ResLoadingRoot, AFileNoSourceHasNamesTheRegistryFileAndTheFolders)
{
    struct Case {
        const char* root;  // nullptr: no registry file
        std::string searched;
    };
    test::TempDir dir;
    const std::string d = dir.str();
    const Case cases[] = {
        {nullptr, "Searched " + d + ", " + d + "data/skin/; no resource registry file " + d + "default.root."},
        {"SOURCE 100 FILE \"\" PATH dat", "Searched " + d + ", " + d + "dat/, " + d + "data/skin/ as " + d + "default.root says."},
        {"SOURCE 2 FILE b SOURCE 1 FILE a", "Searched " + d + "a/, " + d + "a/data/skin/, " + d + "b/, " + d +
                                                "b/data/skin/ as " + d + "default.root says."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root ? c.root : "no default.root");
        std::filesystem::remove(d + "default.root");
        if (c.root)
            dir.write("default.root", c.root);
        SharedPtr<Res> res(new Res);
        res->read_root_file(d + "default.root");
        res->add_search_path("data/skin/");
        res->add_loader(type_name<TextResource>(), text_loader());
        ResRequest request = text_request("skin/main/dic.txt");
        try {
            res->load(request);
            ADD_FAILURE() << "loaded";
        } catch (const ResException& error) {
            const std::string text = error.what();
            EXPECT_EQ(text.substr(text.find("\r\nSearched") + 2), c.searched);
        }
    }
}

TEST_F(ResLoading, SourceOfHigherPriorityWins)
{
    ResRequest request = text_request("both.txt");
    EXPECT_EQ(text_of(m_res->load(request)).m_text, "high\n");
}

TEST_F(ResLoading, FilesAreSearchedBesideTheResourceFirst)
{
    ResRequest request = text_request("dir/user.txt");
    TextResource& user = text_of(m_res->load(request));
    ASSERT_EQ(user.m_uses.size(), 1u);
    EXPECT_EQ(user.m_uses[0].get()->m_text, "dir\n");
    EXPECT_EQ(search_paths(), std::vector<std::string>{""});
}

TEST_F(ResLoading, NestedLoadsStandIndentedInTheLog)
{
    test::LogCapture log;
    ResRequest request = text_request("docs/main.txt");
    m_res->load(request);
    const std::string type = "\"class kq::test::TextResource\"";
    EXPECT_NE(log.text().find("Loading " + type + " \"docs/main.txt\" 0...\r\n  Loading " + type + " \"part.txt\" 0...\r\n"),
              std::string::npos)
        << log.text();
}

TEST_F(ResLoading, CircularDependencyShowsTheChain)
{
    const std::string type = "class kq::test::TextResource";
    struct Case {
        std::string path;
        std::string chain;
    };
    const Case cases[] = {
        {"loop/a.txt", type + " loop/a.txt 0\r\n" + type + " loop/b.txt 0\r\n"},
        {"self.txt", type + " self.txt 0\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(failure_of(text_request(c.path)), "kq.res: (in resource: [\"" + type + "\" \"" + c.path +
                                                        "\" 0]) circular resource dependency. Chain is:\r\n" + c.chain);
        EXPECT_EQ(search_paths(), std::vector<std::string>{""});
    }
}

// Fails while reading every file of the extension "bad", as a loader does with a broken file.
class BrokenLoader : public SimpleResLoader
{
public:
    SharedPtr<Resource> load_from_stream(ResStream&, const ResRequest& request) override
    {
        if (FilePath(request.m_key.m_path).extension() == "bad")
            throw ResException("broken file");
        return {};
    }
};

TEST_F(ResLoading, FailureInsideALoadLeavesNoTrace)
{
    m_res->add_loader(type_name<TextResource>(), SharedPtr<ResLoader>(new BrokenLoader));
    struct Case {
        const char* path;
        const char* message;
    };
    const Case cases[] = {
        {"fail.txt", "kq.res: resolve failed"},
        {"fails_inside.txt", "kq.res: resolve failed"},
        {"broken.bad", "kq.res: broken file"},
        {"uses_broken.txt", "kq.res: broken file"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(failure_of(text_request(c.path)), c.message) << c.path;
        EXPECT_EQ(failure_of(text_request(c.path)), c.message) << c.path << ", not circular";
        EXPECT_EQ(search_paths(), std::vector<std::string>{""}) << c.path;
    }
    test::LogCapture log;
    ResRequest request = text_request("docs/main.txt");
    EXPECT_TRUE(m_res->load(request));
    // Indentation left behind would push the nested line further in.
    EXPECT_NE(log.text().find("0...\r\n  Loading \"class kq::test::TextResource\" \"part.txt\""), std::string::npos)
        << log.text();
}

TEST_F(ResLoading, UnusedRecordIsDroppedWhenItsLoaderDoesNotKeepIt)
{
    m_res->add_loader(type_name<ImageResource>(), SharedPtr<ResLoader>(new test::TextLoader<ImageResource>("txt", false)));
    test::LogCapture log;
    {
        ResHandle<ImageResource> image(ResKey{"plain.txt", 0});
        ResHandle<TextResource> text(ResKey{"plain.txt", 0});
        ASSERT_TRUE(image.get());
        ASSERT_TRUE(text.get());
        ResHandle<ImageResource> copy(image);
        EXPECT_EQ(image.get_loaded()->use_count(), 2);
    }
    EXPECT_EQ(count_of(log.text(), " dropped."), 1u);
    EXPECT_NE(log.text().find("Resource plain.txt 0 dropped.\r\nUnload complete. Dropped 1 files."), std::string::npos)
        << log.text();
    EXPECT_EQ(m_res->table().count(type_name<ImageResource>()), 0u);
    EXPECT_EQ(m_res->table().at(type_name<TextResource>()).size(), 1u);
}

TEST_F(ResLoading, UnloadDropsWhatTheFilterAccepts)
{
    for (const char* path : {"plain.txt", "both.txt", "only.txt"}) {
        ResRequest request = text_request(path);
        m_res->load(request);
    }
    const int dropped = m_res->unload([](StrCache, const ResKey& key, const ResRecord&) { return key.m_path != "both.txt"; });
    EXPECT_EQ(dropped, 2);
    EXPECT_EQ(m_res->table().at(type_name<TextResource>()).size(), 1u);
    EXPECT_THROW(m_res->unload(Res::UnloadFilter()), std::bad_function_call);
}

TEST_F(ResLoading, LoaderMayChangeTheRequest)
{
    // Loads every request as flags 5 of the same path.
    class FlagLoader : public test::TextLoader<TextResource>
    {
    public:
        FlagLoader() : TextLoader("txt") {}
        SharedPtr<ResRecord> load(ResRequest& request) override
        {
            request.m_key.m_flags = 5;
            return TextLoader::load(request);
        }
    };
    m_res = SharedPtr<Res>(new Res);
    m_res->read_root_file((test::fixture_dir() / "default.root").string());
    m_res->add_loader(type_name<TextResource>(), SharedPtr<ResLoader>(new FlagLoader));
    ResRequest kept = text_request("plain.txt");
    m_res->load(kept, false);
    EXPECT_EQ(kept.m_key.m_flags, 0);
    ResRequest updated = text_request("both.txt");
    m_res->load(updated, true);
    EXPECT_EQ(updated.m_key.m_flags, 5);
    EXPECT_EQ(m_res->table().at(type_name<TextResource>()).count(ResKey{"plain.txt", 5}), 1u);
}

TEST_F(ResLoading, PreloadLoadsRegisteredFilesWithProgress)
{
    test::TempDir dir;
    m_res->read_register_file(dir.write("files.reg", "TYPE \"class kq::test::TextResource\"\n"
                                                     "RES \"plain.txt\" 0 RES \"both.txt\" 0 RES \"only.txt\" 0\n"
                                                     "TYPE \"class kq::test::ImageResource\" RES \"plain.txt\" 0\n"));
    const auto texts = [](StrCache type, const ResKey&) { return type == type_name<TextResource>(); };
    test::LogCapture log;
    m_res->preload(texts, [](float) { return true; });
    EXPECT_NE(log.text().find("Files preloaded: 1 of 3"), std::string::npos);
    EXPECT_TRUE(m_res->has_unloaded(texts));

    std::vector<float> progress;
    m_res->preload(texts, [&progress](float done) {
        progress.push_back(done);
        return false;
    });
    EXPECT_EQ(progress, (std::vector<float>{0.5f, 1.0f}));
    EXPECT_FALSE(m_res->has_unloaded(texts));
    EXPECT_TRUE(m_res->has_unloaded([](StrCache, const ResKey&) { return true; }));
    EXPECT_NE(log.text().find("Files preloaded: 2 of 2"), std::string::npos);
}

TEST_F(ResLoading, ProvidersSupplyWhatNoLoaderCan)
{
    SharedPtr<ResRecord> fallback(new ResRecord(SharedPtr<Resource>(new TextResource("fallback")), 0, nullptr, nullptr));
    m_res->push_provider([&fallback](const ResRequest&, SharedPtr<ResRecord>& record) {
        record = fallback;
        return true;
    });
    ResRequest missing = text_request("missing.txt");
    EXPECT_EQ(m_res->load(missing).get(), fallback.get());

    // Preloading hides the provider while it runs, and gives it back even when it fails.
    test::TempDir dir;
    m_res->read_register_file(dir.write("files.reg", "TYPE \"class kq::test::TextResource\" RES \"absent.txt\" 0"));
    EXPECT_THROW(m_res->preload([](StrCache, const ResKey&) { return true; }, {}), ResException);
    EXPECT_EQ(m_res->load(missing).get(), fallback.get());

    m_res->push_provider([](const ResRequest&, SharedPtr<ResRecord>&) { return false; });
    EXPECT_NE(failure_of(missing).find("Reason: any loader cannot open file."), std::string::npos);
    m_res->pop_provider();
    m_res->pop_provider();
    m_res->pop_provider();  // an empty stack is left alone
    EXPECT_THROW(m_res->load(missing), ResException);
}

TEST_F(ResLoading, AddedResourceIsLoadedWithoutALoader)
{
    m_res->add_resource(image_request("built-in"), SharedPtr<Resource>(new ImageResource("made in code")));
    ResHandle<ImageResource> handle(ResKey{"built-in", 0});
    ASSERT_TRUE(handle.get());
    EXPECT_EQ(handle.get()->m_text, "made in code");
}

TEST_F(ResLoading, FlushNeedsAManagedRecordAndALoaderThatStores)
{
    ResRequest request = text_request("plain.txt");
    SharedPtr<ResRecord> loaded = m_res->load(request);
    SharedPtr<ResLoader> loader = text_loader();
    SharedPtr<ResRecord> stranger(new ResRecord(SharedPtr<Resource>(new TextResource("x")), 0, nullptr, loader.get()));
    struct Case {
        SharedPtr<ResRecord> record;
        std::string message;
    };
    const Case cases[] = {
        {SharedPtr<ResRecord>(), "unable to flush resource. ResRecord not initialized or data root has changed."},
        {stranger, "unable to flush resource. ResRecord not in manager."},
        {loaded, "unable to flush resource. Loader can not store."},
    };
    for (const Case& c : cases) {
        try {
            m_res->flush(c.record);
            ADD_FAILURE() << c.message;
        } catch (const ResException& error) {
            EXPECT_EQ(std::string(error.what()), "kq.res: " + c.message);
        }
    }
}

}
}
