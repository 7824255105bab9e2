// SPDX-License-Identifier: MIT
// FreeImage's IPTC model (record 2 text, keyed by record and dataset
// number, repeated keywords joined with ";") and exiv2's IptcData.
#pragma once

#include <FreeImage.h>
#include <exiv2/iptc.hpp>

// The picture's IPTC text as datasets; keywords and supplemental
// categories become one dataset each.
Exiv2::IptcData IptcDataOfModel(FIBITMAP* bitmap);

// Replaces the picture's IPTC model with iptcData's record 2 text.
void PutIptcDataInModel(const Exiv2::IptcData& iptcData, FIBITMAP* bitmap);
