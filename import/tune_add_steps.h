#pragma once

// The add task's real steps: the tag readers, the decoder and the sound measurement, and
// mood scoring with the keep test. The kinds whose tags are their container's own are read
// from what the measurement's open found (ReadContainerTags).

#include <memory>

#include "import/add_steps.h"
#include "import/tag_file.h"
#include "platform/movie.h"

namespace harmovia {

class TuneAddSteps final : public AddSteps {
  public:
    // `movies` must outlive the steps and be usable from several threads at once.
    explicit TuneAddSteps(MovieFramework& movies) : movies_(movies) {}

    AddOutcome ReadTags(Library& library, const std::filesystem::path& file, MusicFileKind kind,
                        const MeasuredFile* measured) override;
    std::unique_ptr<MeasuredFile> Measure(const std::filesystem::path& file) override;
    AddOutcome Score(Library& library, MeasuredFile& measured) override;

    // The numeric result of the last ReadTags or Score: the tag reader's, the measurement's
    // or ScoreMood's code (0 when kept; -1 for a failed keep test, -2 for no decodable audio,
    // 1 for a file the container tag reader did not take).
    int32_t lastResultCode() const { return lastResultCode_; }

  private:
    MovieFramework& movies_;
    int32_t lastResultCode_ = 0;
};

// A .CAF file has no tags the readers understand; it gets a slot of its own so that it is
// added when it decodes: identity fields, Title from the file name, "Unknown" elsewhere.
AddOutcome ClaimCafSlot(Library& library, const std::filesystem::path& file);

// The add outcome of a tag reader's refusal (TagRefusal::None is Kept).
AddOutcome OutcomeOfRefusal(TagRefusal refusal, MusicFileKind kind);

}  // namespace harmovia
