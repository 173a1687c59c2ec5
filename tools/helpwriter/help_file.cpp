// A whole help file from its source: topics, maps, fonts, pictures.
#include "help_file.h"

#include <cstdio>

#include "internal_files.h"
#include "picture.h"
#include "topic_layout.h"

namespace {

// The line that first shows a picture, to blame when the picture is bad.
int FirstUse(const HelpSource& source, int picture)
{
    for (const Topic& topic : source.Topics)
        for (const Paragraph& paragraph : topic.Paragraphs)
            for (const Piece& piece : paragraph.Pieces)
                if (piece.Picture == picture)
                    return paragraph.Line;
    return 0;
}

InternalFile PictureEntry(const HelpSource& source, int picture, const PictureReader& readPicture)
{
    const std::string& name = source.Pictures[picture];
    int line = FirstUse(source, picture);
    Bytes bmp;
    try {
        bmp = readPicture(name);
    } catch (const std::runtime_error& error) {
        throw SourceError(line, "missing picture '" + name + "': " + error.what());
    }
    try {
        return {"|bm" + std::to_string(picture), PictureFile(bmp)};
    } catch (const std::invalid_argument& error) {
        throw SourceError(line, "picture '" + name + "': " + error.what());
    }
}

std::vector<ContextEntry> NameHashes(const HelpSource& source, const std::vector<uint32_t>& offsets)
{
    std::vector<ContextEntry> hashes;
    std::vector<const Topic*> owners;
    for (size_t i = 0; i < source.Topics.size(); ++i) {
        const Topic& topic = source.Topics[i];
        if (topic.Name.empty())
            continue;
        uint32_t hash = ContextHash(topic.Name);
        for (size_t j = 0; j < hashes.size(); ++j)
            if (hashes[j].Key == hash) {
                char hex[16];
                snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(hash));
                throw SourceError(topic.Line, "context name " + topic.Name + " has the hash " +
                                                  hex + " of " + owners[j]->Name +
                                                  "; rename one of them");
            }
        hashes.push_back({hash, offsets[i]});
        owners.push_back(&topic);
    }
    return hashes;
}

} // namespace

Bytes BuildHelpFile(const HelpSource& source, const PictureReader& readPicture,
                    uint32_t generationTime)
{
    TopicLayout layout = LayOutTopics(source.Topics);
    std::vector<ContextEntry> numbers;
    for (size_t i = 0; i < source.Topics.size(); ++i)
        numbers.push_back({source.Topics[i].Number, layout.TopicOffsets[i]});

    std::vector<InternalFile> files{
        {"|SYSTEM",
         SystemFile(source.Title, layout.TopicOffsets[source.ContentsTopic], generationTime)},
        {"|TOPIC", layout.TopicFile},
        {"|FONT", FontFile()},
        {"|CONTEXT", ContextFile(NameHashes(source, layout.TopicOffsets))},
        {"|CTXOMAP", ContextMapFile(numbers)},
    };
    for (size_t i = 0; i < source.Pictures.size(); ++i)
        files.push_back(PictureEntry(source, static_cast<int>(i), readPicture));
    return FileSystem(files);
}
