#include "engine/res/skin_document_loader.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

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
    FileImage(std::string bytes, std::string name) : StringBuffer(std::move(bytes)), m_name(std::move(name)) {}

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

// FNV-1a: enough to tell one text from another, and stable across builds and machines.
std::uint64_t content_hash(std::string_view bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

// What the copy's check file holds: the size and hash of the text the copy was made from,
// then those of the copy itself, so that neither an edited text nor a copy of another
// document is taken for the copy of this one.
std::string copy_check(std::string_view text, std::string_view copy)
{
    char line[96];
    std::snprintf(line, sizeof line, "%zu %016llx %zu %016llx\n", text.size(),
                  static_cast<unsigned long long>(content_hash(text)), copy.size(),
                  static_cast<unsigned long long>(content_hash(copy)));
    return line;
}

std::string check_name(const std::string& copy)
{
    return copy + ".sum";
}

// The name of the text's file in its source, empty when the source cannot take a copy.
std::string copy_name_in_source(const ResStream& text)
{
    auto* file = dynamic_cast<const FileBuffer*>(text.m_buffer.get());
    std::string name = file ? file->path() : std::string();
    // A source that cannot take the copy is not asked to after the work of making it.
    if (!text.m_source || !text.m_source->may_replace() || !text.m_source->name_of(name))
        return {};
    return with_extension(name, "sdb");
}

// The binary copy beside the text file that was read, and then its check, written through the
// text's source. A copy without its check is never used, so a kill between the two costs only
// a rewrite. Failing to write them costs only speed: the document is used without a copy.
void write_binary_copy(const SkinDocument& document, const ResStream& text, std::string_view text_bytes)
{
    const std::string copy = copy_name_in_source(text);
    if (copy.empty())
        return;
    try {
        StringBuffer content;
        {
            BStream stream(content);
            document.store(stream);
        }
        if (write_replacing(*text.m_source, copy, content.str()))
            write_replacing(*text.m_source, check_name(copy), copy_check(text_bytes, content.str()));
    } catch (const Exception& error) {
        skin_log() << "! binary copy " << copy << " not written: " << error.what() << t_io::endl;
    }
}

void read_binary_bytes(SkinDocument& document, const std::string& bytes, const std::string& name)
{
    FileImage file(bytes, name);
    BStream stream(file);
    document.load(stream);
}

// Whether the check file beside the copy says it was made from this text and is whole.
bool copy_is_of_text(const ResStream& binary, std::string_view text_bytes, std::string_view copy_bytes)
{
    auto* file = dynamic_cast<const FileBuffer*>(binary.m_buffer.get());
    if (!file || !binary.m_source)
        return false;
    try {
        ResStream check = binary.m_source->open(check_name(file->path()));
        return check && read_all(*check.m_buffer) == copy_check(text_bytes, copy_bytes);
    } catch (const Exception& error) {
        skin_log() << "! binary copy check not read: " << error.what() << t_io::endl;
        return false;
    }
}

// Reads the document from its binary copy when its check says it is the copy of this text;
// false (the document to be read from its text) when it is not, or is damaged or cut short.
bool read_binary_copy(SkinDocument& document, const ResStream& binary, std::string_view text_bytes)
{
    try {
        const std::string bytes = read_all(*binary.m_buffer);
        if (!copy_is_of_text(binary, text_bytes, bytes))
            return false;
        read_binary_bytes(document, bytes, binary.m_buffer->name());
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

void read_text_bytes(SkinDocument& document, const std::string& bytes, const std::string& name)
{
    FileImage file(bytes, name);
    TStream stream(file);
    document.read_text(stream);
}

// Reads the document from the text, or from its copy when that copy was made from this very
// text: not older, and the check written with it matches both.
void read_document(SkinDocument& document, const ResStream& text, const ResStream& binary)
{
    const std::string text_name = text.m_buffer->name();
    const std::string text_bytes = read_all(*text.m_buffer);
    // Copies whose writer was killed are cleaned up before this start writes its own.
    if (const std::string copy = copy_name_in_source(text); !copy.empty())
        text.m_source->remove_stale_temporaries(copy);
    if (binary && binary.m_time >= text.m_time && read_binary_copy(document, binary, text_bytes))
        return;
    read_text_bytes(document, text_bytes, text_name);
    write_binary_copy(document, text, text_bytes);
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
        read_document(*document, text, binary);
        origin = &text;
    } else if (binary) {
        read_binary_bytes(*document, read_all(*binary.m_buffer), binary.m_buffer->name());
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
