#include "engine/res/skin_document_loader.h"

#include "engine/base/bstream.h"
#include "engine/base/exception.h"
#include "engine/base/file_path.h"
#include "engine/base/log.h"
#include "engine/base/string_stream.h"
#include "engine/res/res.h"
#include "engine/res/skin_document.h"

namespace kq {
namespace {

std::string with_extension(const std::string& path, const char* extension)
{
    FilePath result(path);
    result.set_extension(extension);
    return result.str();
}

// A whole file read into memory, named as the file in error texts. The readers take a few
// bytes at a time, which from memory costs nothing and from the file a system call each.
class FileImage : public StringBuffer
{
public:
    explicit FileImage(Buffer& file) : StringBuffer(read_all(file)), m_name(file.name()) {}

    std::string name() const override { return m_name; }

private:
    std::string m_name;
};

TStream& skin_log()
{
    return get_log("skin");
}

// Replaces the file of that name in the source, so that a reader (another game starting on
// the same data tree included) never meets a half-written file. False when the source cannot
// write there.
bool write_replacing(ResSource& source, const std::string& name, const std::string& content)
{
    const std::string failure = source.replace(name, content);
    if (failure.empty())
        return true;
    skin_log() << "! " << name << " not written: " << failure << t_io::endl;
    return false;
}

// The binary copy beside the text file that was read, written through the text's source.
// Failing to write it costs only speed: the document is used without a copy.
void write_binary_copy(const SkinDocument& document, const ResStream& text)
{
    auto* file = dynamic_cast<const FileBuffer*>(text.m_buffer.get());
    std::string name = file ? file->path() : std::string();
    // A source that cannot take the copy is not asked to after the work of making it.
    if (!text.m_source || !text.m_source->may_replace() || !text.m_source->name_of(name))
        return;
    const std::string copy = with_extension(name, "sdb");
    try {
        StringBuffer content;
        {
            BStream stream(content);
            document.store(stream);
        }
        write_replacing(*text.m_source, copy, content.str());
    } catch (const Exception& error) {
        skin_log() << "! binary copy " << copy << " not written: " << error.what() << t_io::endl;
    }
}

void read_binary_file(SkinDocument& document, const ResStream& binary)
{
    FileImage file(*binary.m_buffer);
    BStream stream(file);
    document.load(stream);
}

// Reads the document from its binary copy; false (the document to be read from its text)
// when the copy is damaged or cut short.
bool read_binary_copy(SkinDocument& document, const ResStream& binary)
{
    try {
        read_binary_file(document, binary);
        return true;
    } catch (const Exception& error) {
        skin_log() << "! damaged binary copy, reading the text: " << error.what() << t_io::endl;
        return false;
    }
}

// The binary copy of the document's file, empty when there is none or it cannot be opened.
ResStream open_binary_copy(Res& res, const std::string& path)
{
    try {
        return res.open_file(with_extension(path, "sdb"));
    } catch (const Exception& error) {
        skin_log() << "! binary copy not opened: " << error.what() << t_io::endl;
        return {};
    }
}

void read_text_file(SkinDocument& document, const ResStream& text)
{
    FileImage file(*text.m_buffer);
    TStream stream(file);
    document.read_text(stream);
}

}

SharedPtr<ResRecord> SkinDocumentLoader::load(ResRequest& request)
{
    Res& res = *Res::instance();
    SharedPtr<SkinDocument> document(new SkinDocument);
    ResStream text = res.open_file(request.m_key.m_path);
    ResStream binary = open_binary_copy(res, request.m_key.m_path);
    const ResStream* origin = nullptr;
    if (text) {
        if (!binary || binary.m_time < text.m_time || !read_binary_copy(*document, binary)) {
            read_text_file(*document, text);
            write_binary_copy(*document, text);
        }
        origin = &text;
    } else if (binary) {
        read_binary_file(*document, binary);
        request.m_key.m_path = with_extension(request.m_key.m_path, "sdt");
        origin = &binary;
    } else {
        return {};
    }
    return SharedPtr<ResRecord>(
        new ResRecord(SharedPtr<Resource>(document), origin->m_time, origin->m_source.get(), this));
}

bool SkinDocumentLoader::store(const ResRequest& request, ResRecord& record)
{
    auto* document = dynamic_cast<SkinDocument*>(record.resource().get());
    if (!record.source() || !document)
        return false;
    StringStream text;
    document->write_text(text);
    return write_replacing(*record.source(), request.m_key.m_path, text.str());
}

}
