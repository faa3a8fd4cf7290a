#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "library/tune_library.h"
#include "tests/import/tag_builders.h"
#include "tests/support/temp_folder.h"

namespace harmovia::testing {

// A folder to write tag test files into and a library for the tag reader to fill.
template <int32_t (*ReadTags)(Library&, const std::filesystem::path&)>
struct TagReaderFixture {
    TempFolder folder;
    std::unique_ptr<Library> library = std::make_unique<Library>();

    std::filesystem::path Write(const std::string& name, const Bytes& bytes) {
        WriteBytes(folder / name, bytes);
        return folder / name;
    }
    int32_t Read(const std::filesystem::path& file) { return ReadTags(*library, file); }
    const TuneRecord& Last() const { return (*library)[library->CurrentTuneIndex]; }
};

}  // namespace harmovia::testing
