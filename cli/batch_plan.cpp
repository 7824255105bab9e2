// SPDX-License-Identifier: MIT
#include "cli/batch_plan.h"

#include "picture/colour_output.h"

#include <filesystem>
#include <map>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

using FilesByStem = std::map<std::string, std::vector<fs::path>>;

// The regular files of folder by their names without the extension; hidden
// files, such as the scratch files of a write under way, are left out.
std::optional<FilesByStem> ListByStem(const std::string& folder, std::string& error)
{
    std::error_code code;
    fs::directory_iterator entries(folder, code);
    if (code) {
        error = folder + ": cannot read the folder: " + code.message();
        return std::nullopt;
    }
    FilesByStem files;
    for (; entries != fs::directory_iterator(); entries.increment(code)) {
        const fs::path& path = entries->path();
        std::error_code ignored;
        if (path.filename().string().starts_with('.') || !fs::is_regular_file(path, ignored))
            continue;
        files[path.stem().string()].push_back(path);
    }
    if (code) {
        error = folder + ": cannot read the folder: " + code.message();
        return std::nullopt;
    }
    return files;
}

std::string OutputExtension(const CliOptions& options, const fs::path& input)
{
    if (!options.format.empty())
        return options.format;
    return WritesColourPictures(input.string()) ? input.extension().string().substr(1) : "tif";
}

std::string FindMarks(const FilesByStem& marks, const fs::path& input, const std::string& folder,
                      const char* kind, std::string& problem)
{
    const std::string stem = input.stem().string();
    std::vector<fs::path> candidates;
    if (const auto found = marks.find(stem); found != marks.end()) {
        for (const fs::path& candidate : found->second) {
            std::error_code ignored;
            if (!fs::equivalent(candidate, input, ignored))
                candidates.push_back(candidate);
        }
    }
    if (candidates.size() == 1)
        return candidates.front().string();
    problem = input.string() + ": " +
              (candidates.empty() ? std::string("no ") + kind + " named " + stem + ".* in " + folder
                                  : folder + " has more than one " + kind + " named " + stem + ".*");
    return {};
}

} // namespace

std::optional<std::vector<BatchItem>> PlanBatch(const CliOptions& options, CliFailure& failure)
{
    const bool masks = !options.maskDir.empty();
    const std::string& marksFolder = masks ? options.maskDir : options.overlayDir;
    std::string error;
    const std::optional<FilesByStem> marks = ListByStem(marksFolder, error);
    if (!marks) {
        failure = CliFailure{ExitBadInput, error};
        return std::nullopt;
    }
    std::error_code code;
    fs::create_directories(options.outputDir, code);
    if (code || !fs::is_directory(options.outputDir, code)) {
        failure = CliFailure{ExitWriteFailed, options.outputDir + ": cannot make the output folder" +
                                                  (code ? ": " + code.message() : std::string())};
        return std::nullopt;
    }

    std::vector<BatchItem> items;
    std::map<std::string, std::string> takenOutputs; // output name -> the input it belongs to
    for (const std::string& input : options.inputs) {
        BatchItem item;
        item.input = input;
        const fs::path inputPath(input);
        item.marks = FindMarks(*marks, inputPath, marksFolder, masks ? "mask" : "overlay", item.problem);
        const fs::path output = fs::path(options.outputDir) /
                                (inputPath.stem().string() + "." + OutputExtension(options, inputPath));
        item.output = output.string();
        if (item.problem.empty()) {
            const auto [taken, fresh] = takenOutputs.emplace(output.lexically_normal().string(), input);
            std::error_code ignored;
            const bool exists = fs::symlink_status(output, ignored).type() != fs::file_type::not_found;
            if (!fresh)
                item.problem = input + ": its result would have the same name as that of " + taken->second;
            else if (exists && options.skipExisting)
                item.skipped = true;
            else if (exists && !options.overwrite)
                item.problem = item.output + ": exists; --overwrite replaces it, --skip-existing leaves it";
        }
        items.push_back(std::move(item));
    }
    return items;
}
