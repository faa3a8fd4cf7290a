// Writes the seed corpora of the tag fuzz targets, made by the tests' tag builders:
//   tag_fuzz_seeds <folder>   ->  <folder>/mp3_tags, <folder>/mp4_tags, <folder>/tag_text,
//                                 <folder>/container_tags
// Seeds are rewritten under fixed names; other files in those folders (what the fuzzers
// found worth keeping) are left alone.

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/import/tag_builders.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace harmovia::testing;

using Seeds = std::vector<std::pair<std::string, Bytes>>;

Seeds Mp3Seeds() {
    const auto frames = [](int version, const Bytes& title) {
        const bool v22 = version <= 2;
        return std::vector<Id3Frame>{{v22 ? "TP1" : "TPE1", Latin1Text("Artist")},
                                     {v22 ? "TT2" : "TIT2", title},
                                     {v22 ? "TAL" : "TALB", Utf8Text("Alb\xC3\xA9")},
                                     {v22 ? "TCO" : "TCON", Latin1Text("(17)")}};
    };
    Seeds seeds;
    for (const int version : {2, 3, 4}) {
        const std::string v = std::to_string(version);
        seeds.push_back(
            {"v" + v + "-latin1", Id3Tag(version, frames(version, Latin1Text("T\xE9")))});
        seeds.push_back(
            {"v" + v + "-utf16", Id3Tag(version, frames(version, Utf16LeText(u"Señor")))});
        seeds.push_back(
            {"v" + v + "-utf16-open", Id3Tag(version, frames(version, Utf16LeText(u"Ω", false)))});
        seeds.push_back(
            {"v" + v + "-utf16be", Id3Tag(version, frames(version, Utf16BeText(u"Be")))});
    }
    seeds.push_back({"v4-nomark", Id3Tag(4, {{"TIT2", Utf16BeNoMarkText(u"No mark")}})});
    seeds.push_back({"v3-podcast", Id3Tag(3, {{"TCON", Latin1Text("Podcast")}})});
    seeds.push_back({"v3-long", Id3Tag(3, {{"TIT2", Latin1Text(std::string(300, 'x'))}})});
    seeds.push_back({"v4-plain-size", Id3Tag(4, {{"TIT2", Latin1Text(std::string(150, 'y')),
                                                  Bytes{0, 0, 0, 0x97}}})});
    seeds.push_back(
        {"v3-picture-first", Id3Tag(3, {{"APIC", Bytes(20500, 7)}, {"TIT2", Latin1Text("Late")}})});
    seeds.push_back({"mpeg", Mp3File({}, 2000)});
    return seeds;
}

Seeds Mp4Seeds() {
    const Bytes nam = Mp4TextItem("\251nam", "Caf\xC3\xA9"), alb = Mp4TextItem("\251alb", "Album"),
                art = Mp4TextItem("\251ART", "Artist");
    const auto small = [](const std::vector<Bytes>& items, bool first) {
        return M4aFile(items, first, 600 + 64 * items.size());
    };
    const Seeds files = {
        {"basic", small({nam, alb, art}, true)},
        {"gnre", small({nam, alb, art, Mp4GenreItem(18)}, true)},
        {"gen", small({nam, alb, art, Mp4TextItem("\251gen", "Jazz")}, true)},
        {"both", small({nam, alb, art, Mp4GenreItem(274), Mp4TextItem("\251gen", "Jazz")}, true)},
        {"no-album", small({nam, art}, true)},
        {"late", small({nam, alb, art}, false)},
    };
    Seeds seeds;
    for (const auto& [name, bytes] : files) {
        // First byte: 0 puts the file at the start, 1 across the reader's slice
        // seam.
        seeds.push_back({name, Concat({{0}, bytes})});
        seeds.push_back({name + "-seam", Concat({{1}, bytes})});
    }
    // 2 puts the input behind a media atom: top-level atoms for the reader's walk.
    seeds.push_back({"walk-moov", Concat({{2}, Mp4MovieAtom({nam, alb, art})})});
    seeds.push_back({"walk-free-moov", Concat({{2},
                                               Mp4Atom("free", Bytes(16, 0)),
                                               Mp4MovieAtom({nam, alb, art, Mp4GenreItem(9)})})});
    return seeds;
}

Seeds TextSeeds() {
    return {{"plain", BytesOf("Blue Train")},
            {"latin1", BytesOf("Caf\xE9 Se\xF1or Cr\xE8me \xC9t\xE9")},
            {"utf8", BytesOf("Beyonc\xC3\xA9 \xC3\xB1 \xC3\x98 \xC2\xAB\xC2\xBB \xC5\x99")},
            {"chain", BytesOf("\xC3\xC3\xB1\x80\x80\x80")}};
}

// Control byte (kind, opened, short, tags present), container, then the tags by lines.
Seeds ContainerSeeds() {
    const Bytes texts = BytesOf("Caf\xC3\xA9\n\xD8rjan\nSe\xF1or\nJazz");
    return {{"flac", Concat({{0xF4, 4}, texts})},
            {"vorbis", Concat({{0xF5, 5}, texts})},
            {"wav-untagged", Concat({{0x06, 7}})},
            {"aiff-title", Concat({{0x17, 8}, BytesOf("Only")})},
            {"podcast", Concat({{0xF5, 6}, BytesOf("T\nA\nB\npodCAST")})},
            {"blank-album", Concat({{0xF4, 4}, BytesOf("T\nA\n   \nG")})},
            {"mp3-named-flac", Concat({{0xF4, 1}, texts})}};
}

bool WriteAll(const std::filesystem::path& folder, const Seeds& seeds) {
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : seeds) {
        WriteBytes(folder / (name + ".seed"), bytes);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    WriteAll(root / "mp3_tags", Mp3Seeds());
    WriteAll(root / "mp4_tags", Mp4Seeds());
    WriteAll(root / "tag_text", TextSeeds());
    WriteAll(root / "container_tags", ContainerSeeds());
    return 0;
}
