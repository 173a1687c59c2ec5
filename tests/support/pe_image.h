// A reader of built program files that does not go through the loader, so it
// reads 32-bit deliverables from the 64-bit test programs too.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct PeResource {
    std::string Type; // "#5" for a numbered type, else the name
    std::string Name; // "#101" for a numbered resource, else the name
    WORD Language;
    std::string Bytes;
};

class PeImage {
public:
    explicit PeImage(const std::string& path);

    WORD Machine() const { return machine_; }
    WORD OptionalMagic() const { return optionalMagic_; }
    WORD Subsystem() const { return subsystem_; }
    WORD SubsystemMajor() const { return subsystemMajor_; }
    WORD SubsystemMinor() const { return subsystemMinor_; }
    WORD OsMajor() const { return osMajor_; } // the Windows version the header asks for
    WORD OsMinor() const { return osMinor_; }
    const std::vector<std::string>& ImportedLibraries() const { return libraries_; }
    const std::vector<std::string>& ImportedFunctions() const { return functions_; } // "dll!name"
    const std::vector<PeResource>& Resources() const { return resources_; }
    // The resource of the type and name, or null; "#n" names a number.
    const PeResource* Resource(const std::string& type, const std::string& name) const;

private:
    uint32_t Offset(uint32_t rva) const;
    template <typename T> T At(uint32_t offset) const;
    std::string TextAt(uint32_t offset) const;
    void ReadImports(uint32_t rva);
    void ReadResources(uint32_t rva);
    std::string ResourceLabel(uint32_t base, uint32_t entryName) const;

    std::string bytes_;
    WORD machine_ = 0, optionalMagic_ = 0, subsystem_ = 0, subsystemMajor_ = 0;
    WORD subsystemMinor_ = 0, osMajor_ = 0, osMinor_ = 0;
    std::vector<IMAGE_SECTION_HEADER> sections_;
    std::vector<std::string> libraries_, functions_;
    std::vector<PeResource> resources_;
};
