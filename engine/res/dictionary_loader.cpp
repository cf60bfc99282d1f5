#include "engine/res/dictionary_loader.h"

#include "engine/base/file_path.h"
#include "engine/base/wstream.h"
#include "engine/res/dictionary.h"

namespace kq {

SharedPtr<Resource> DictionaryLoader::load_from_stream(ResStream& stream, const ResRequest& request)
{
    const std::string extension = FilePath(request.m_key.m_path).extension();
    if (extension != "dic" && extension != "xml")
        return {};
    SharedPtr<Dictionary> dictionary(new Dictionary);
    if (extension == "dic") {
        WStream text(*stream.m_buffer);
        dictionary->load_text(text);
    } else {
        dictionary->load_xml(*stream.m_buffer);
    }
    return dictionary;
}

}
