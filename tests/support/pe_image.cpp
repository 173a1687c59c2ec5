#include "pe_image.h"

#include <cstring>
#include <stdexcept>

#include "scratch.h"

template <typename T> T PeImage::At(uint32_t offset) const
{
    if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T))
        throw std::runtime_error("read past the end of the program file");
    T value;
    memcpy(&value, bytes_.data() + offset, sizeof value);
    return value;
}

std::string PeImage::TextAt(uint32_t offset) const
{
    if (offset >= bytes_.size())
        throw std::runtime_error("text past the end of the program file");
    return std::string(bytes_.c_str() + offset);
}

uint32_t PeImage::Offset(uint32_t rva) const
{
    for (const IMAGE_SECTION_HEADER& section : sections_)
        if (rva >= section.VirtualAddress &&
            rva < section.VirtualAddress + section.Misc.VirtualSize)
            return rva - section.VirtualAddress + section.PointerToRawData;
    throw std::runtime_error("address outside every section");
}

PeImage::PeImage(const std::string& path) : bytes_(ReadFileBytes(path))
{
    auto dos = At<IMAGE_DOS_HEADER>(0);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || At<DWORD>(dos.e_lfanew) != IMAGE_NT_SIGNATURE)
        throw std::runtime_error("not a PE file: " + path);
    uint32_t fileHeaderAt = dos.e_lfanew + 4;
    auto fileHeader = At<IMAGE_FILE_HEADER>(fileHeaderAt);
    machine_ = fileHeader.Machine;
    uint32_t optionalAt = fileHeaderAt + sizeof fileHeader;
    optionalMagic_ = At<WORD>(optionalAt);

    IMAGE_DATA_DIRECTORY imports, resources;
    // The 32- and 64-bit optional headers name the same fields at different offsets.
    auto readOptional = [&](const auto& optional) {
        subsystem_ = optional.Subsystem;
        subsystemMajor_ = optional.MajorSubsystemVersion;
        subsystemMinor_ = optional.MinorSubsystemVersion;
        osMajor_ = optional.MajorOperatingSystemVersion;
        osMinor_ = optional.MinorOperatingSystemVersion;
        imports = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        resources = optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    };
    if (optionalMagic_ == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        readOptional(At<IMAGE_OPTIONAL_HEADER32>(optionalAt));
    else
        readOptional(At<IMAGE_OPTIONAL_HEADER64>(optionalAt));
    uint32_t sectionsAt = optionalAt + fileHeader.SizeOfOptionalHeader;
    for (int i = 0; i < fileHeader.NumberOfSections; ++i)
        sections_.push_back(At<IMAGE_SECTION_HEADER>(sectionsAt + i * sizeof(IMAGE_SECTION_HEADER)));
    if (imports.VirtualAddress)
        ReadImports(imports.VirtualAddress);
    if (resources.VirtualAddress)
        ReadResources(resources.VirtualAddress);
}

void PeImage::ReadImports(uint32_t rva)
{
    bool wide = optionalMagic_ == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    for (uint32_t at = Offset(rva);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto library = At<IMAGE_IMPORT_DESCRIPTOR>(at);
        if (!library.Name)
            break;
        std::string name = TextAt(Offset(library.Name));
        libraries_.push_back(name);
        uint32_t thunks = library.OriginalFirstThunk ? library.OriginalFirstThunk
                                                     : library.FirstThunk;
        for (uint32_t entry = Offset(thunks);; entry += wide ? 8 : 4) {
            uint64_t value = wide ? At<uint64_t>(entry) : At<uint32_t>(entry);
            if (!value)
                break;
            bool byOrdinal = wide ? (value >> 63) : (value >> 31);
            functions_.push_back(name + "!" +
                                 (byOrdinal ? "#" + std::to_string(value & 0xFFFF)
                                            : TextAt(Offset(uint32_t(value)) + 2)));
        }
    }
}

std::string PeImage::ResourceLabel(uint32_t base, uint32_t entryName) const
{
    if (!(entryName & 0x80000000))
        return "#" + std::to_string(entryName);
    uint32_t at = base + (entryName & 0x7FFFFFFF);
    WORD length = At<WORD>(at);
    std::string label;
    for (WORD i = 0; i < length; ++i)
        label += static_cast<char>(At<WORD>(at + 2 + 2 * i));
    return label;
}

// Resources sit in a three-level tree: type, name, language.
void PeImage::ReadResources(uint32_t rva)
{
    uint32_t base = Offset(rva);
    auto entries = [&](uint32_t directory) {
        auto header = At<IMAGE_RESOURCE_DIRECTORY>(base + directory);
        std::vector<IMAGE_RESOURCE_DIRECTORY_ENTRY> list;
        int count = header.NumberOfNamedEntries + header.NumberOfIdEntries;
        for (int i = 0; i < count; ++i)
            list.push_back(At<IMAGE_RESOURCE_DIRECTORY_ENTRY>(
                base + directory + sizeof header + i * sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY)));
        return list;
    };
    for (const auto& type : entries(0))
        for (const auto& name : entries(type.OffsetToDirectory))
            for (const auto& language : entries(name.OffsetToDirectory)) {
                auto data = At<IMAGE_RESOURCE_DATA_ENTRY>(base + language.OffsetToData);
                uint32_t at = Offset(data.OffsetToData);
                if (at + data.Size > bytes_.size())
                    throw std::runtime_error("resource past the end of the program file");
                resources_.push_back({ResourceLabel(base, type.Name),
                                      ResourceLabel(base, name.Name), WORD(language.Name),
                                      bytes_.substr(at, data.Size)});
            }
}

const PeResource* PeImage::Resource(const std::string& type, const std::string& name) const
{
    for (const PeResource& resource : resources_)
        if (resource.Type == type && resource.Name == name)
            return &resource;
    return nullptr;
}
