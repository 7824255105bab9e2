// SPDX-License-Identifier: MIT
#include "cli/single_run_arguments.h"

#include "picture/decode_limits.h"

std::vector<std::string> SingleRunArguments(const CliOptions& options)
{
    const CliOptions defaults;
    std::vector<std::string> arguments;
    if (!options.overlay.empty())
        arguments.push_back("--overlay=" + options.overlay);
    if (!options.mask.empty())
        arguments.push_back("--mask=" + options.mask);
    if (!options.saveMask.empty())
        arguments.push_back("--save-mask=" + options.saveMask);
    if (options.method != defaults.method)
        arguments.push_back("--method=" + std::string(FillMethodName(options.method)));
    if (options.patchSize != defaults.patchSize)
        arguments.push_back("--patch-size=" + std::to_string(options.patchSize));
    if (options.smoothSeam)
        arguments.push_back("--smooth-seam");
    if (options.threads != defaults.threads)
        arguments.push_back("--threads=" + std::to_string(options.threads));
    if (options.scanMargin != defaults.scanMargin)
        arguments.push_back("--scan-margin=" + std::to_string(options.scanMargin));
    if (options.quiet)
        arguments.push_back("--quiet");
    if (options.eightBitOutput)
        arguments.push_back("--depth=8");
    if (options.autoOrient)
        arguments.push_back("--auto-orient");
    if (options.jpegQuality != defaults.jpegQuality)
        arguments.push_back("--quality=" + std::to_string(options.jpegQuality));
    if (options.force)
        arguments.push_back("--force");
    // The budget is read in whole MiB.
    if (options.memoryBudget != defaults.memoryBudget)
        arguments.push_back("--memory-budget=" + std::to_string(options.memoryBudget / MiB));
    arguments.insert(arguments.end(), {"--", options.input, options.output});
    return arguments;
}
