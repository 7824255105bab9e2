// SPDX-License-Identifier: MIT
#include "picture/metadata_loss_text.h"

std::string MetadataLossText(const std::string& output, const std::vector<std::string>& kinds)
{
    if (kinds.empty())
        return {};
    std::string text = "metadata: not written to " + output + ":";
    for (std::size_t i = 0; i < kinds.size(); ++i)
        text += (i == 0 ? " " : ", ") + kinds[i];
    return text;
}
