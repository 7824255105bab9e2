// SPDX-License-Identifier: MIT
#include "cli/command_line.h"

#include "cli/strict_number.h"
#include "engine/inpaint_job.h"
#include "picture/colour_output.h"
#include "picture/decode_limits.h"

#include <optional>

namespace {

bool Wants(const std::vector<std::string>& arguments, std::initializer_list<const char*> names)
{
    for (const std::string& argument : arguments) {
        if (argument == "--")
            return false;
        for (const char* name : names)
            if (argument == name)
                return true;
    }
    return false;
}

ParsedCommandLine Refused(std::string error)
{
    ParsedCommandLine result;
    result.error = std::move(error);
    return result;
}

// Splits "--name=value" into its two halves; value empty for "--name".
std::pair<std::string, std::optional<std::string>> SplitOption(const std::string& argument)
{
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos)
        return {argument, std::nullopt};
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

bool TakesValue(const std::string& name)
{
    return name == "--overlay" || name == "--mask" || name == "--patch-size" || name == "--threads" ||
           name == "--save-mask" || name == "--scan-margin" || name == "--output-dir" || name == "--mask-dir" ||
           name == "--overlay-dir" || name == "--format" || name == "--jobs" || name == "--depth" ||
           name == "--quality" || name == "--memory-budget" || name == "--method";
}

// The checks of a run over many pictures, once every argument is read.
ParsedCommandLine BatchChecked(ParsedCommandLine result, std::vector<std::string> files)
{
    CliOptions& options = result.options;
    if (!options.mask.empty() || !options.overlay.empty() || !options.saveMask.empty())
        return Refused("with --output-dir, give --mask-dir or --overlay-dir instead of --mask, --overlay and --save-mask");
    if (options.maskDir.empty() == options.overlayDir.empty())
        return Refused("with --output-dir, say what to remove with --mask-dir DIR or --overlay-dir DIR, one of them");
    if (files.empty())
        return Refused("give the pictures to work on after the options");
    if (options.overwrite && options.skipExisting)
        return Refused("give one of --overwrite and --skip-existing");
    options.inputs = std::move(files);
    result.action = CliAction::RunBatch;
    return result;
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    if (Wants(arguments, {"--help", "-h"})) {
        ParsedCommandLine result;
        result.action = CliAction::ShowHelp;
        return result;
    }
    if (Wants(arguments, {"--version"})) {
        ParsedCommandLine result;
        result.action = CliAction::ShowVersion;
        return result;
    }

    ParsedCommandLine result;
    CliOptions& options = result.options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        auto [name, value] = SplitOption(argument);
        if (TakesValue(name)) {
            if (!value) {
                if (i + 1 == arguments.size())
                    return Refused(name + " needs a value");
                value = arguments[++i];
            }
        } else if (value) {
            return Refused(name + " takes no value");
        }

        if (name == "--overlay" || name == "--mask") {
            if (!options.overlay.empty() || !options.mask.empty())
                return Refused("give one of --overlay and --mask, once");
            if (value->empty())
                return Refused(name + " needs a file name");
            (name == "--overlay" ? options.overlay : options.mask) = *value;
        } else if (name == "--save-mask") {
            if (value->empty())
                return Refused(name + " needs a file name");
            options.saveMask = *value;
        } else if (name == "--method") {
            const std::optional<FillMethod> method = FillMethodNamed(*value);
            if (!method)
                return Refused("--method: \"" + *value + "\" is not patches or structure");
            options.method = *method;
        } else if (name == "--patch-size") {
            const std::optional<int> size = ParseStrictInteger(*value, MinPatchSize, MaxPatchSize);
            if (!size)
                return Refused("--patch-size: \"" + *value + "\" is not a whole number from " +
                               std::to_string(MinPatchSize) + " to " + std::to_string(MaxPatchSize));
            options.patchSize = *size;
        } else if (name == "--threads") {
            const std::optional<int> threads = ParseStrictInteger(*value, 1, MaxThreads);
            if (!threads)
                return Refused("--threads: \"" + *value + "\" is not a whole number from 1 to " +
                               std::to_string(MaxThreads));
            options.threads = *threads;
        } else if (name == "--scan-margin") {
            const std::optional<int> margin = ParseStrictInteger(*value, 0, MaxScanMargin);
            if (!margin)
                return Refused("--scan-margin: \"" + *value + "\" is not a whole number from 0 to " +
                               std::to_string(MaxScanMargin));
            options.scanMargin = *margin;
        } else if (name == "--output-dir" || name == "--mask-dir" || name == "--overlay-dir") {
            if (value->empty())
                return Refused(name + " needs a folder name");
            std::string& folder = name == "--output-dir" ? options.outputDir
                                  : name == "--mask-dir" ? options.maskDir
                                                         : options.overlayDir;
            if (!folder.empty())
                return Refused(name + " given twice");
            folder = *value;
        } else if (name == "--format") {
            std::string format = value->starts_with('.') ? value->substr(1) : *value;
            if (format.empty() || format.find('/') != std::string::npos ||
                !WritesColourPictures("picture." + format))
                return Refused("--format: \"" + *value + "\" is not the extension of a format that can be written in colour");
            options.format = std::move(format);
        } else if (name == "--jobs") {
            const std::optional<int> jobs = ParseStrictInteger(*value, 1, MaxThreads);
            if (!jobs)
                return Refused("--jobs: \"" + *value + "\" is not a whole number from 1 to " +
                               std::to_string(MaxThreads));
            options.jobs = *jobs;
        } else if (name == "--overwrite") {
            options.overwrite = true;
        } else if (name == "--depth") {
            if (*value != "8" && *value != "16")
                return Refused("--depth: \"" + *value + "\" is not 8 or 16");
            options.eightBitOutput = *value == "8";
        } else if (name == "--quality") {
            const std::optional<int> quality = ParseStrictInteger(*value, 1, 100);
            if (!quality)
                return Refused("--quality: \"" + *value + "\" is not a whole number from 1 to 100");
            options.jpegQuality = *quality;
        } else if (name == "--skip-existing") {
            options.skipExisting = true;
        } else if (name == "--memory-budget") {
            const std::optional<std::uint64_t> budget = ParseMemoryBudgetMiB(*value);
            if (!budget)
                return Refused("--memory-budget: \"" + *value + "\" is not a whole number of MiB from 16 to 1048576");
            options.memoryBudget = *budget;
        } else if (name == "--force") {
            options.force = true;
        } else if (name == "--smooth-seam") {
            options.smoothSeam = true;
        } else if (name == "--auto-orient") {
            options.autoOrient = true;
        } else if (name == "--quiet") {
            options.quiet = true;
        } else {
            return Refused("unknown option " + name);
        }
    }

    if (!options.outputDir.empty())
        return BatchChecked(std::move(result), std::move(files));
    if (!options.maskDir.empty() || !options.overlayDir.empty() || !options.format.empty() || options.jobs != 0 ||
        options.overwrite || options.skipExisting)
        return Refused("--mask-dir, --overlay-dir, --format, --jobs, --overwrite and --skip-existing need --output-dir");
    if (files.size() != 2)
        return Refused(files.size() < 2 ? "give an INPUT and an OUTPUT file" : "unexpected argument " + files[2]);
    if (options.overlay.empty() && options.mask.empty())
        return Refused("say what to remove with --overlay FILE or --mask FILE");
    options.input = files[0];
    options.output = files[1];
    result.action = CliAction::Run;
    return result;
}

std::string HelpText()
{
    return R"(Usage: quenlo-inpaint INPUT OUTPUT (--overlay FILE | --mask FILE) [options]
       quenlo-inpaint --output-dir DIR (--overlay-dir DIR | --mask-dir DIR)
                      [options] INPUT...

Removes the marked parts of a photograph and fills them with texture taken
from the rest of the picture, as the Quenlo editor's Paint command does.

  INPUT             the picture to work on (PNG, TIFF, JPEG, BMP and more)
  OUTPUT            where the result goes; its extension picks the format.
                    Through a symbolic link, the file it leads to is
                    replaced and the link stays.
                    A CMYK picture stays CMYK when OUTPUT is a TIFF file.
                    Pictures of 16 bits per channel stay 16 bits: they
                    are filled at 16 bits, and pixels that were not
                    filled keep every bit. EXIF (with the camera's maker
                    note), GPS, IPTC, XMP and the ICC profile are kept
                    where OUTPUT's format holds them; damaged metadata is
                    left out; the report says what was not written.

What to remove, exactly one of:
  --overlay FILE    a picture of strokes, the size of INPUT, as the editor
                    paints them: RGB(255,125,125) marks what to remove;
                    closed one-pixel lines of RGB(75,255,75) limit where
                    texture may come from; one-pixel lines of
                    RGB(75,125,255) are guides: drawn across the hole and
                    a little beyond it, each shows where an edge runs
                    behind what is removed (structure method only; the
                    report gives their pixels); any other colour marks
                    nothing
  --mask FILE       a picture the size of INPUT: every pixel that is not
                    black is filled, every black one may give texture

Options:
  --method NAME     how the hole is filled (default patches):
                    patches    copies patches point by point from the best
                               matching places nearby; for texture, small
                               blemishes and when speed matters
                    structure  gives each region of the hole one offset to
                               the known picture, chosen for the whole hole,
                               and blends the seams; carries horizons,
                               shorelines and long straight edges through;
                               a trial on a ring around the hole picks the
                               patches fill instead where it fits better
  --patch-size N    edge of the copied patches in pixels, 3 to 128 (default
                    32); patches method and the structure method's trial
  --smooth-seam     blend pasted patches into the pixels around them;
                    patches method only
  --threads N       use at most N threads (default: one per core); the
                    result is the same for every N
  --scan-margin N   count the N pixels around the hole's bounding box as
                    known too (default 0, as the editor does): a hole that
                    fills its whole bounding box, such as a rectangle from
                    another tool, then gets patches instead of averaging
  --auto-orient     turn INPUT upright by its EXIF orientation first, as
                    photo viewers show it and the editor opens it: the
                    overlay or mask is then the size of the upright
                    picture, and OUTPUT holds upright pixels with
                    Orientation 1 (default: the pixels as stored, the
                    orientation kept)
  --depth 8         write 8 bits per channel, for formats such as JPEG
                    that cannot hold 16 (a 16-bit INPUT is refused otherwise)
  --quality N       JPEG quality, 1 to 100 (default 95)
  --save-mask FILE  also write the final mask: 0 not used, 127 left
                    unfilled, 255 known or filled
  --memory-budget N decode each picture in at most N MiB of memory (default:
                    the smaller of 4096 and half the machine's memory, or
                    QUENLO_MEMORY_BUDGET); a larger picture is refused
  --force           replace OUTPUT (and the --save-mask file) even when it
                    is read-only
  --quiet           print errors, metadata or detail the output lost, and
                    guide lines the patches method ignored
  --help            show this help
  --version         show the version

Many pictures at once (--output-dir given):
  --output-dir DIR  where the results go, each named after its INPUT
  --overlay-dir DIR the overlay of each INPUT: the file in DIR with the
                    same name before the extension (photo.jpg: photo.png)
  --mask-dir DIR    the same for masks
  --format EXT      the format of the results (default: the INPUT's when
                    it can be written, else tif)
  --overwrite       replace results that exist (default: such a picture
                    fails and its file is kept)
  --skip-existing   leave pictures whose results exist, as when resuming
                    a run that was stopped
  --jobs N          pictures worked on at once, each in a process of its
                    own (default: one per core); results are the same as
                    one run per picture
  On a terminal a progress line shows pictures done, time taken and time
  left. Each picture that fails gets one line on stderr. Ctrl+C starts no
  more pictures and lets those under way finish; a second Ctrl+C stops
  them too. Results written stay; no partial one is left.

Exit status: 0 done; 2 bad usage or an input that cannot be used;
3 an output file could not be written (no file was changed, nothing
half-written is left);
4 some pictures of a run with --output-dir failed; 130 interrupted.

Examples:
  quenlo-inpaint photo.jpg clean.png --overlay strokes.png
  quenlo-inpaint --output-dir clean --mask-dir masks shoot/*.jpg
)";
}

std::string VersionText()
{
    return "quenlo-inpaint " QUENLO_VERSION "\n";
}
