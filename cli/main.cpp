// SPDX-License-Identifier: MIT
// quenlo-inpaint: the inpainting engine from the command line.
#include "cli/command_line.h"
#include "cli/one_line.h"
#include "cli/run_batch.h"
#include "cli/run_inpaint.h"
#include "picture/freeimage_messages.h"
#include "picture/output_file.h"

#include <exception>
#include <iostream>

namespace {

int Run(int argc, char** argv)
{
    const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (parsed.action) {
    case CliAction::ShowHelp:
        std::cout << HelpText();
        return ExitDone;
    case CliAction::ShowVersion:
        std::cout << VersionText();
        return ExitDone;
    case CliAction::Refuse:
        std::cerr << "quenlo-inpaint: " << OneLine(parsed.error) << " (see quenlo-inpaint --help)\n";
        return ExitBadInput;
    case CliAction::RunBatch:
        return RunBatch(parsed.options, argv[0], std::cout, std::cerr);
    case CliAction::Run:
        break;
    }
    CliFailure failure;
    const ExitStatus status = RunInpaint(parsed.options, std::cout, std::cerr, failure);
    if (status != ExitDone)
        std::cerr << "quenlo-inpaint: " << OneLine(failure.message) << '\n';
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // Codec warnings are kept for error lines, never printed on their own.
    RouteFreeImageMessages();
    CleanUpOutputsOnSignals();
    // The last line of defence: one line and a status, never an abort.
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "quenlo-inpaint: " << OneLine(error.what()) << '\n';
    }
    return ExitBadInput;
}
