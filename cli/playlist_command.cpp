#include "cli/playlist_command.h"

#include <optional>
#include <string_view>

#include "cli/record_json.h"
#include "cli/record_tsv.h"
#include "cli/terminal_text.h"
#include "cli/view_request.h"
#include "export/m3u_playlist.h"

namespace harmovia {
namespace {

constexpr const char* kFormatsText =
    "formats:\n"
    "  tsv   a header line, then one line per tune: its row, then the columns of `list`\n"
    "  json  one JSON object per tune and line, with every field of the record\n"
    "  m3u   an extended M3U playlist of the tunes' files\n";

enum class Format { Tsv, Json, M3u };

void WriteRows(const ViewList& list, const Library& library, Format format, std::FILE* out) {
    if (format == Format::Tsv) {
        std::fprintf(out, "Row\t%s\n", TuneRecordTsvHeader().c_str());
    } else if (format == Format::M3u) {
        std::fputs(std::string(kM3uHeader).c_str(), out);
    }
    for (int32_t row = 1; row <= list.ViewCount; ++row) {
        const TuneRecord& r = list[row];
        const int32_t slot = SlotOfRow(library, r);
        switch (format) {
            case Format::Tsv:
                std::fprintf(out, "%d\t%s\n", row, TuneRecordTsv(r, slot).c_str());
                break;
            case Format::Json:
                std::fprintf(out, "%s\n", TuneRecordJson(r, slot).c_str());
                break;
            case Format::M3u:
                std::fputs(M3uEntry(r).c_str(), out);
                break;
        }
    }
}

int Fail(std::FILE* err, std::string_view reason) {
    return ReportProblem(err, "playlist", reason, 1);
}

int Usage(std::FILE* err, std::string_view reason) {
    return ReportProblem(err, "playlist", reason, 2);
}

}  // namespace

const char* PlaylistFormatsUsage() {
    return kFormatsText;
}

int RunPlaylistCommand(const std::vector<std::string>& args, const Library& library,
                       RandomSource& random, std::FILE* out, std::FILE* err) {
    ViewRequest request;
    std::vector<std::string> rest;
    if (const auto problem = ParseViewRequest(args, request, rest)) {
        return Usage(err, *problem);
    }
    Format format = Format::Tsv;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != "--format") {
            return Usage(err, "unknown argument \"" + rest[i] + "\"");
        }
        if (i + 1 >= rest.size()) {
            return Usage(err, "--format needs a value");
        }
        const std::string& value = rest[++i];
        if (value == "tsv") {
            format = Format::Tsv;
        } else if (value == "json") {
            format = Format::Json;
        } else if (value == "m3u") {
            format = Format::M3u;
        } else {
            return Usage(err, "unknown format \"" + value + "\"");
        }
    }
    // A seed makes the shuffled views the same on every run.
    std::optional<RandomSource> seeded;
    if (request.seed) {
        seeded.emplace(*request.seed);
    }
    ViewState view;
    const ViewBuildResult result =
        BuildRequestedView(request, library, seeded ? *seeded : random, view);
    if (result.status == 2) {
        return Usage(err, result.reason);
    }
    if (result.status != 0) {
        return Fail(err, result.reason);
    }
    if (!result.emptyNote.empty()) {
        std::fprintf(err, "harmovia-cli playlist: empty view: %s\n", result.emptyNote.c_str());
    }
    WriteRows(view.List, library, format, out);
    if (std::fflush(out) != 0 || std::ferror(out)) {
        return Fail(err, "cannot write the output");
    }
    return 0;
}

}  // namespace harmovia
